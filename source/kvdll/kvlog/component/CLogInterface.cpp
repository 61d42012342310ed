#include "kvlog.h"

CLogInterface::CLogInterface() = default;
CLogInterface::CLogInterface(const CLogInterface&) = default;
CLogInterface::CLogInterface(CLogInterface&&) noexcept = default;
CLogInterface& CLogInterface::operator=(const CLogInterface&) = default;
CLogInterface& CLogInterface::operator=(CLogInterface&&) noexcept = default;

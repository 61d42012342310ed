#include "kvlog.h"

CLogComponentInterface::CLogComponentInterface() = default;
CLogComponentInterface::CLogComponentInterface(const CLogComponentInterface&) = default;
CLogComponentInterface::CLogComponentInterface(CLogComponentInterface&&) noexcept = default;
CLogComponentInterface& CLogComponentInterface::operator=(const CLogComponentInterface&) = default;
CLogComponentInterface&
CLogComponentInterface::operator=(CLogComponentInterface&&) noexcept = default;

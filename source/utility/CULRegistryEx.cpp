#include "CULRegistryEx.h"

CULRegistryEx::~CULRegistryEx() = default;

// The registry wrapper under the name the suite's tools use for temporary wrappers.
#pragma once

#include "CULRegistry.h"

class CULRegistryEx : public CULRegistry
{
public:
    CULRegistryEx() = default;
    ~CULRegistryEx() override;
};

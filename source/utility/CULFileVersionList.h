// The version records of a file's translations, in resource order; the list owns them.
#pragma once

#include "CULFileVersion.h"
#include "CULList.h"

class CULFileVersionList : public CULList<CULFileVersion*>
{
};

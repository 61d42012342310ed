#include "kvlog.h"

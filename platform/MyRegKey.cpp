#include "platform/MyRegKey.h"

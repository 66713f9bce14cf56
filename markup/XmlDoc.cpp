#include "markup/XmlDoc.h"

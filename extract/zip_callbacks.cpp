#include "extract/zip_callbacks.h"

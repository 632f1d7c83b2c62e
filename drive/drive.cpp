#include "drive/drive.h"

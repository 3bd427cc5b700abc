#include "platform/update/Updater.h"

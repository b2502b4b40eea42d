#include "panel/ITreeInformator.h"

ITreeInformator* gFolivoTreeInformator = nullptr;
bool gPageListDirty = false;

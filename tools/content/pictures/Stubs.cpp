#include "pictures/Pictures.h"
void AddEffectPictures(std::vector<OContentFile>&) {}
void AddModelPictures(std::vector<OContentFile>&) {}

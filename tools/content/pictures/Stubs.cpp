#include "pictures/Pictures.h"
void AddButtonPictures(std::vector<OContentFile>&) {}
void AddScreenPictures(std::vector<OContentFile>&) {}
void AddSkinPictures(std::vector<OContentFile>&) {}
void AddEffectPictures(std::vector<OContentFile>&) {}
void AddModelPictures(std::vector<OContentFile>&) {}

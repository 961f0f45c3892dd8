#include "pictures/Pictures.h"
void AddModelPictures(std::vector<OContentFile>&) {}

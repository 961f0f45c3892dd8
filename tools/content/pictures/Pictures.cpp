#include "Content.h"

// Not written yet.
void BuildPictures(const OContentContext&, std::vector<OContentFile>&) {}

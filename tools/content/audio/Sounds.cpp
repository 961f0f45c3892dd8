#include "Content.h"

// Not written yet.
void BuildSounds(const OContentContext&, std::vector<OContentFile>&) {}

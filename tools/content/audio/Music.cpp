#include "Content.h"

// Not written yet.
void BuildMusic(const OContentContext&, std::vector<OContentFile>&) {}

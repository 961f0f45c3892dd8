#include "Content.h"

// Not written yet.
void BuildModels(const OContentContext&, std::vector<OContentFile>&) {}

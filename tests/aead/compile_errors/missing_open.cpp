// Must not compile: the AEAD type lacks open(). The build test expects the
// diagnostic to name the missing member.
#include "../../compile_errors/deficient_types.hpp"

static_assert(quillon::diagnoseAead<AeadWithoutOpen<0>>());

// The command line's words for the outcome of a conversion: one cause a user can act on.
#pragma once

#include <string>

#include "convert/conversion.h"

// The cause of a failed conversion, without the picture's path; empty for a converted picture.
std::string OutcomeCause(const ConversionOutcome& outcome);

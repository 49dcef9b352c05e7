#pragma once

#include <exception>
#include <string>

// The engine's errors (engine/Errors.h) as the window and the command line tell the user, in
// Russian (UTF-8); any other exception by its own what().
std::string engineMessage(const std::exception& error);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/dynamic_library.h"

#include <dlfcn.h>

namespace mf::qt {

DynamicLibrary::DynamicLibrary(const char* soname) : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {}

void* DynamicLibrary::symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

} // namespace mf::qt

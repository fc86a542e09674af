// SPDX-License-Identifier: GPL-3.0-or-later
// A shared library opened at run time, so that the program does not load it
// at start. Functions are looked up by name into typed pointers.
#pragma once

namespace mf::qt {

class DynamicLibrary {
public:
    // Opens the library by its versioned name; null handle when it is missing.
    explicit DynamicLibrary(const char* soname);
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }

    // Sets the pointer to the named function; false when it is not there.
    template <class Function>
    bool bind(const char* name, Function*& function) const {
        function = reinterpret_cast<Function*>(symbol(name));
        return function != nullptr;
    }

    // Opens a library and fills a table of its functions, which the caller
    // keeps to the end of the program; null when any is missing.
    template <class Table>
    static const Table* table(const char* soname, bool (*bindAll)(const DynamicLibrary&, Table&)) {
        const auto* file = new DynamicLibrary(soname);   // never closed
        auto* functions = new Table;
        if (file->loaded() && bindAll(*file, *functions))
            return functions;
        delete functions;
        return nullptr;
    }

private:
    void* symbol(const char* name) const;

    void* handle_;   // never closed: its functions may run until the end
};

} // namespace mf::qt

// In a bindAll function with parameters `file` and `table`.
#define MF_BIND_FUNCTION(name) complete = complete && file.bind(#name, table.name);

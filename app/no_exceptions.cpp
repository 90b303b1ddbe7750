// The program raises no exceptions and is built without them, its strings
// instantiated in its own code (checked, so without the library's prebuilt ones).
// The runtime's paths for a failed allocation, an impossible length or a failed
// check would still link in its exception, unwinding, threading and demangling
// machinery, most of the program's size: these replacements end the process on
// such a path instead. Nothing of the program reaches one.
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void impossible() { std::abort(); }

} // namespace

void* operator new(std::size_t size)
{
    void* memory = std::malloc(size ? size : 1);
    if (memory == nullptr) impossible();
    return memory;
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {

void __throw_length_error(const char*) { impossible(); }
void __throw_logic_error(const char*) { impossible(); }
void __throw_out_of_range_fmt(const char*, ...) { impossible(); }
void __throw_bad_alloc() { impossible(); }
void __throw_bad_array_new_length() { impossible(); }
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { impossible(); }

} // namespace std

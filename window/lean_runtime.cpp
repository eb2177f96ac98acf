// How quenzel.exe ends when the C++ runtime fails: at once, without the runtime's reporting code.
//
// The program catches no exception: whatever the runtime throws (a string that would grow past
// its maximum, memory that runs out) ends in std::terminate and then std::abort. These
// definitions take that path directly. The runtime's own versions would link in its exception
// classes, a second string implementation for their messages, a formatted-output library and the
// symbol demangler of the default terminate handler, a large part of the program
// (bench/results.md), all of it only to print a message to a console that a windowed program does
// not have.
//
// Linked into the program only, never into the tests. Every function of the runtime's
// functexcept.o is defined here, so that object is never pulled in; should a newer runtime add
// one that the program uses, the link fails with a duplicate definition instead of silently
// growing the program.
#include <cstdlib>
#include <exception>
#include <string> // declares the std::__throw_* functions defined below

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() {
    std::abort();
}
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_bad_cast() {
    std::abort();
}
void __throw_bad_typeid() {
    std::abort();
}
void __throw_logic_error(const char *) {
    std::abort();
}
void __throw_domain_error(const char *) {
    std::abort();
}
void __throw_invalid_argument(const char *) {
    std::abort();
}
void __throw_length_error(const char *) {
    std::abort();
}
void __throw_out_of_range(const char *) {
    std::abort();
}
void __throw_out_of_range_fmt(const char *, ...) {
    std::abort();
}
void __throw_runtime_error(const char *) {
    std::abort();
}
void __throw_range_error(const char *) {
    std::abort();
}
void __throw_overflow_error(const char *) {
    std::abort();
}
void __throw_underflow_error(const char *) {
    std::abort();
}
} // namespace std

// libx265 keeps one allocation of its own past the encoder's close; the leak
// checker of the sanitizer build is told to look away from that library only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}

// On a real X server the platform plugin opens a D-Bus connection whose
// library keeps one buffer of its own to the end; the leak checker of the
// sanitizer build is told to look away from that library only.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

// Sanitizer builds only. Libraries that SDL loads and unloads would leave
// their leaks unattributed ("<unknown module>"); keeping them loaded names
// them. The sound server's client libraries keep caches for the process.
extern "C" int dlclose(void*) {
    return 0;
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libpulse.so\nleak:libfontconfig.so\n";
}

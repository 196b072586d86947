// Crashes on purpose: its test passes only when the crash ends the program at
// once with a failure status.
int main() {
    volatile int* nowhere = nullptr;
    return *nowhere;
}

// A library that must never be loaded from where it was planted.
extern "C" __declspec(dllexport) int QvPlanted() {
    return 1;
}

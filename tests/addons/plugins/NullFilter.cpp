// A plug-in whose entry point gives no filter.

class YKGenericFilter;

extern "C" __attribute__((visibility("default"))) YKGenericFilter* instantiate_filter() {
    return nullptr;
}

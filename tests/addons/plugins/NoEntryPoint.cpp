// A library that is no filter plug-in: it lacks "instantiate_filter".

extern "C" __attribute__((visibility("default"))) int not_a_filter() {
    return 1;
}

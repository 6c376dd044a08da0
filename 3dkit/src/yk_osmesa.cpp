#include "yk_osmesa.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <type_traits>
#include <vector>

namespace {

struct LoaderState {
    std::mutex lock;
    bool tried = false;
    bool reported = false;
    YKOSMesa api{};
    bool loaded = false;
    std::string error;
    std::string library;  // empty: the system's
};

LoaderState& State() {
    static LoaderState state;
    return state;
}

std::vector<std::string> Candidates(const std::string& chosen) {
    if (!chosen.empty()) {
        return {chosen};
    }
    if (const char* variable = std::getenv("GRAVIK_OSMESA_LIBRARY"); variable && *variable) {
        return {variable};
    }
    return {"libOSMesa.so.8", "libOSMesa.so"};
}

using ProcAddress = void* (*)(const char* name);

// Resolves every pointer of `api`; the name of the first one missing otherwise.
std::string Resolve(void* handle, YKOSMesa* api) {
    const auto proc = reinterpret_cast<ProcAddress>(dlsym(handle, "OSMesaGetProcAddress"));
    std::string missing;
    // The GL calls come through OSMesaGetProcAddress where it knows them, else from the
    // library's own exports.
    const auto find = [&](auto*& slot, const char* name) {
        void* address = proc != nullptr ? proc(name) : nullptr;
        if (address == nullptr) {
            address = dlsym(handle, name);
        }
        if (address == nullptr && missing.empty()) {
            missing = name;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
    };
    find(api->CreateContextExt, "OSMesaCreateContextExt");
    find(api->MakeCurrent, "OSMesaMakeCurrent");
    find(api->PixelStore, "OSMesaPixelStore");
    find(api->DestroyContext, "OSMesaDestroyContext");
    find(api->GetCurrentContext, "OSMesaGetCurrentContext");
    find(api->Enable, "glEnable");
    find(api->Disable, "glDisable");
    find(api->ShadeModel, "glShadeModel");
    find(api->Lightfv, "glLightfv");
    find(api->LightModelfv, "glLightModelfv");
    find(api->CullFace, "glCullFace");
    find(api->ReadBuffer, "glReadBuffer");
    find(api->DrawBuffer, "glDrawBuffer");
    find(api->Viewport, "glViewport");
    find(api->MatrixMode, "glMatrixMode");
    find(api->ClearColor, "glClearColor");
    find(api->Clear, "glClear");
    find(api->PushMatrix, "glPushMatrix");
    find(api->PopMatrix, "glPopMatrix");
    find(api->LoadIdentity, "glLoadIdentity");
    find(api->Rotatef, "glRotatef");
    find(api->Materialfv, "glMaterialfv");
    find(api->Color3f, "glColor3f");
    find(api->Normal3f, "glNormal3f");
    find(api->Vertex3f, "glVertex3f");
    find(api->Begin, "glBegin");
    find(api->End, "glEnd");
    find(api->GetFloatv, "glGetFloatv");
    find(api->Finish, "glFinish");
    find(api->Flush, "glFlush");
    return missing;
}

void Load(LoaderState* state) {
    state->tried = true;
    std::string tried;
    for (const std::string& name : Candidates(state->library)) {
        void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            tried += (tried.empty() ? "" : ", ") + name;
            continue;
        }
        const std::string missing = Resolve(handle, &state->api);
        if (missing.empty()) {
            state->loaded = true;
            state->error.clear();
            return;
        }
        // An unusable library is not worth keeping open.
        dlclose(handle);
        state->error = name + " lacks " + missing;
        return;
    }
    state->error = "cannot open " + tried;
}

}  // namespace

const YKOSMesa* yk_osmesa() {
    LoaderState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.tried) {
        Load(&state);
        if (!state.loaded && !state.reported) {
            state.reported = true;
            std::printf("OSMesa is not available (%s): 3D objects are not drawn.\n",
                        state.error.c_str());
            std::fflush(stdout);
        }
    }
    return state.loaded ? &state.api : nullptr;
}

std::string yk_osmesa_error() {
    LoaderState& state = State();
    std::lock_guard guard(state.lock);
    return state.error;
}

void yk_osmesa_use_library(const char* library) {
    LoaderState& state = State();
    std::lock_guard guard(state.lock);
    state.library = library != nullptr ? library : "";
    state.tried = false;
    state.loaded = false;
    state.error.clear();
}

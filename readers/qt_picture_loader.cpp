// The command line's loader, and the decoder module opened on first use.
#include "readers/qt_picture_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <new>
#include <system_error>

#include "readers/png_bmp_readers.h"

namespace {

LoadedPicture Unreadable(BitmapStatus moduleStatus, std::string reason) {
    LoadedPicture loaded;
    loaded.facts.moduleStatus = moduleStatus;
    loaded.facts.decoderReason = std::move(reason);
    return loaded;
}

// The program's own folder, from the link the system keeps to it.
std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? "." : program.substr(0, slash);
}

struct OpenedModule {
    DecoderEntry entry = nullptr;
    std::string error;
};

OpenedModule OpenModule() {
    const std::string folder = ProgramFolder();
    // Beside the program in the build folder; in the library folder once installed.
    const std::string candidates[] = {folder + "/vandrel-qt-decoder.so",
                                      folder + "/" VANDREL_DECODER_FOLDER "/vandrel-qt-decoder.so"};
    OpenedModule opened;
    for (const std::string& candidate : candidates) {
        if (access(candidate.c_str(), F_OK) != 0) continue;
        // Never closed: the pictures it decodes live on its code.
        void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            opened.error = dlerror();
            return opened;
        }
        opened.entry = reinterpret_cast<DecoderEntry>(dlsym(handle, kDecoderEntry));
        if (!opened.entry) opened.error = candidate + " has no decoder entry";
        return opened;
    }
    opened.error = candidates[1] + " is missing";
    return opened;
}

}  // namespace

LoadedPicture DecodeThroughModule(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings) {
    static const OpenedModule module = OpenModule();
    if (!module.entry) return Unreadable(moduleStatus, "Qt's decoders cannot be loaded: " + module.error);
    LoadedPicture loaded;
    module.entry(&path, moduleStatus, &settings, &loaded);
    return loaded;
}

LoadedPicture QtPictureLoader::Load(const std::string& path) const {
    try {
        LoadedPicture loaded = LoadWithBitmapModule(path);
        std::error_code unknown;
        if (loaded.facts.moduleStatus == BitmapFileNotFound && std::filesystem::is_directory(path, unknown)) {
            loaded.facts.decoderReason = "it is a folder, not a picture file";
            return loaded;
        }
        // A missing file, or a picture too big for memory, is no better for another decoder.
        if (loaded.failure == LoadFailure::None || loaded.facts.moduleStatus == BitmapFileNotFound ||
            loaded.facts.moduleStatus == BitmapOutOfMemory)
            return loaded;
        if (std::optional<LoadedPicture> own = ReadPngOrBmp(path, loaded.facts.moduleStatus, settings_))
            return std::move(*own);
        return decoder_(path, loaded.facts.moduleStatus, settings_);
    } catch (const std::bad_alloc&) {
        LoadedPicture loaded;
        loaded.failure = LoadFailure::OutOfMemory;
        loaded.facts.moduleStatus = BitmapOutOfMemory;
        return loaded;
    }
}

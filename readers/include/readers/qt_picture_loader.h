// The command line's picture loader: the bitmap module first, then the program's own PNG and BMP
// readers, then Qt's image readers for every file neither takes. The program reaches Qt through a
// module loaded on first use, so a run that only meets BMPs and PNGs never pays for starting Qt's libraries.
#pragma once

#include <string>

#include "convert/picture.h"
#include "qt_decode.h"

// How files the module refuses are decoded: DecodeWithQt itself, or DecodeThroughModule.
using QtDecoder = LoadedPicture (*)(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings);

class QtPictureLoader final : public PictureLoader {
public:
    QtPictureLoader(DecodeSettings settings, QtDecoder decoder) : settings_(settings), decoder_(decoder) {}

    // The bitmap module's picture when it loads the file; otherwise the own readers' answer when the
    // file is of their kinds, else the decoder's. Never throws.
    LoadedPicture Load(const std::string& path) const override;

private:
    DecodeSettings settings_;
    QtDecoder decoder_;
};

// DecodeWithQt from the decoder module (vandrel-qt-decoder.so beside the program, or in its plugin
// folder once installed), opened on the first call. When it cannot be opened the file is unreadable,
// with the reason.
LoadedPicture DecodeThroughModule(const std::string& path, BitmapStatus moduleStatus, const DecodeSettings& settings);

// The name of the module's entry, which calls DecodeWithQt and fills `*out`.
inline constexpr char kDecoderEntry[] = "VandrelDecodeWithQt";
using DecoderEntry = void (*)(const std::string* path, BitmapStatus moduleStatus, const DecodeSettings* settings,
                              LoadedPicture* out);

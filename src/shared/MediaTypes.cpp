#include "MediaTypes.h"

namespace media {
namespace {

unsigned filterBits(int filterIndex) {
    switch (filterIndex) {
    case kFilterMovies: return kInMovies;
    case kFilterImages: return kInImages;
    case kFilterAll: return kInMovies | kInImages;
    default: return kInNone;
    }
}

}  // namespace

const MediaRow* rowOf(std::string_view ext) {
    for (const MediaRow& row : kMediaTypes)
        if (row.extension == ext) return &row;
    return nullptr;
}

const MediaType* typeNamed(std::string_view name) {
    if (name.empty()) return nullptr;
    for (const MediaRow& row : kMediaTypes)
        if (row.type.name == name) return &row.type;
    return nullptr;
}

std::string extension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot + 1));
    for (char& c : ext) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return ext;
}

std::string_view typeName(std::string_view ext) {
    const MediaRow* row = rowOf(ext);
    return row ? row->type.name : std::string_view();
}

std::string filterExtensions(int filterIndex) {
    std::string list;
    for (const MediaRow& row : kMediaTypes) {
        if ((row.filters & filterBits(filterIndex)) == 0) continue;
        if (!list.empty()) list += ',';
        list += row.extension;
    }
    return list;
}

TypeCheck ChkFType(int filterIndex, std::string_view ext) {
    // Whole extensions only: "PE" or "MP" match no part of one.
    const MediaRow* row = rowOf(ext);
    if (!row || (row->filters & filterBits(filterIndex)) == 0) return {};
    return {std::string(row->type.name), true};
}

bool isImage(std::string_view ext) {
    const MediaRow* row = rowOf(ext);
    return row && row->decoder != Decoder::Mpv;
}

TypeKind kindOfType(std::string_view name) {
    const MediaType* type = typeNamed(name);
    return type ? type->kind : TypeKind::None;
}

}  // namespace media

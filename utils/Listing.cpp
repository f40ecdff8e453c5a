#include "Listing.h"

#include <functional>
#include <initializer_list>

#include "platform/Files.h"

namespace {

using Sink = std::function<void(const UnicodeString&)>;

// One enumeration pass: calls handle with every delivered entry.
void enumerate(const UnicodeString& pattern, int attr, const std::function<void(const TSearchRec&)>& handle) {
    TSearchRec rec;
    for (int r = FindFirst(pattern, attr, rec); r == 0; r = FindNext(rec)) handle(rec);
    FindClose(rec);
}

bool isSubfolder(const TSearchRec& rec) {
    return (rec.Attr & faDirectory) && rec.Name != UnicodeString(".") && rec.Name != UnicodeString("..");
}

UnicodeString join(const UnicodeString& folder, const UnicodeString& name) { return folder + PathDelim + name; }

void listFiles(const UnicodeString& folder, const UnicodeString& mask, bool recurse, bool withFolders,
               const Sink& add) {
    enumerate(join(folder, mask), faNormal, [&](const TSearchRec& rec) { add(join(folder, rec.Name)); });
    if (!recurse) return;
    enumerate(join(folder, "*.*"), faDirectory, [&](const TSearchRec& rec) {
        if (!isSubfolder(rec)) return;
        const UnicodeString sub = join(folder, rec.Name);
        if (withFolders) add(sub);
        listFiles(sub, mask, true, withFolders, add);
    });
}

void listDirs(const UnicodeString& folder, bool recurse, const Sink& add) {
    enumerate(join(folder, "*.*"), faDirectory, [&](const TSearchRec& rec) {
        if (!isSubfolder(rec)) return;
        const UnicodeString sub = join(folder, rec.Name);
        add(sub);
        if (recurse) listDirs(sub, true, add);
    });
}

// Files of folder whose names end, in upper case, in one of the extensions.
void listByExtension(const UnicodeString& folder, std::initializer_list<const char*> extensions, const Sink& add) {
    enumerate(join(folder, "*.*"), faNormal, [&](const TSearchRec& rec) {
        for (const char* extension : extensions) {
            const UnicodeString ext(extension);
            const int k = ext.Length();
            if (rec.Name.Length() >= k && rec.Name.SubString(rec.Name.Length() - k + 1, k).UpperCase() == ext) {
                add(join(folder, rec.Name));
                return;
            }
        }
    });
}

Sink textSink(UnicodeString& text) {
    return [&text](const UnicodeString& path) { text += path + "\r\n"; };
}

Sink listSink(TStringList* list) {
    return [list](const UnicodeString& path) { list->Add(path); };
}

}  // namespace

UnicodeString GetFilesFromDirectory(const UnicodeString& folder, const UnicodeString& mask, bool recurse,
                                    bool withFolders) {
    UnicodeString text;
    listFiles(folder, mask, recurse, withFolders, textSink(text));
    return text;
}

void GetFilesFromDirectory(const UnicodeString& folder, const UnicodeString& mask, bool recurse, bool withFolders,
                           TStringList* list) {
    listFiles(folder, mask, recurse, withFolders, listSink(list));
}

UnicodeString GetDirsFromDirectory(const UnicodeString& folder, bool recurse) {
    UnicodeString text;
    listDirs(folder, recurse, textSink(text));
    return text;
}

int GetDirsFromDirectory(const UnicodeString& folder, bool recurse, TStringList* list) {
    UnicodeString base = folder;
    if (!base.IsEmpty() && base[base.Length()] == PathDelim) base = base.SubString(1, base.Length() - 1);
    list->Clear();
    listDirs(base, recurse, listSink(list));
    return list->Count();
}

UnicodeString GetSoundFromDirectory(const UnicodeString& folder) {
    UnicodeString text;
    listByExtension(folder, {".OGG", ".MP3", ".WAV"}, textSink(text));
    return text;
}

UnicodeString GetPicturesFromDirectory(const UnicodeString& folder) {
    UnicodeString text;
    listByExtension(folder, {".JPG", ".JPEG", ".PNG", ".GIF"}, textSink(text));
    return text;
}

int GetPicturesFromDirectory(const UnicodeString& folder, TStringList* list) {
    list->Clear();
    listByExtension(folder, {".JPG", ".JPEG", ".BMP", ".PNG", ".GIF"}, listSink(list));
    return list->Count();
}

#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "utils/Listing.h"

namespace {

std::set<UnicodeString> asSet(const Lines& lines) { return {lines.begin(), lines.end()}; }

// The lines of a text form's result, checking that every line ends in CR LF.
Lines textLines(const UnicodeString& text) {
    if (!text.IsEmpty()) {
        EXPECT_EQ(text.SubString(text.Length() - 1, 2), UnicodeString("\r\n"));
    }
    TStringList list;
    list.SetText(text);
    return items(list);
}

class ListingTest : public TempFolderTest {};

}  // namespace

TEST_F(ListingTest, FilesOfATreeComeInPreOrder) {
    // One entry of each kind per folder, so the order does not depend on the file system.
    touch("A/a1");
    touch("A/S/s1");
    touch("A/S/U/u1");
    const UnicodeString A = at("A");
    TStringList list;
    list.Add("kept");
    GetFilesFromDirectory(A, "*", true, true, &list);
    EXPECT_EQ(items(list), (Lines{"kept", A + "/a1", A + "/S", A + "/S/s1", A + "/S/U", A + "/S/U/u1"}));
    EXPECT_EQ(textLines(GetFilesFromDirectory(A, "*", true, false)), (Lines{A + "/a1", A + "/S/s1", A + "/S/U/u1"}));
    for (bool withFolders : {false, true}) {
        EXPECT_EQ(textLines(GetFilesFromDirectory(A, "*", false, withFolders)), Lines{A + "/a1"});
    }
}

TEST_F(ListingTest, FilesOfAFolderPrecedeItsSubfolders) {
    touch("A/a1");
    touch("A/a2");
    touch("A/S/s1");
    const UnicodeString A = at("A");
    const Lines lines = textLines(GetFilesFromDirectory(A, "*", true, true));
    EXPECT_EQ(asSet(lines), (std::set<UnicodeString>{A + "/a1", A + "/a2", A + "/S", A + "/S/s1"}));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], A + "/S");
    EXPECT_EQ(lines[3], A + "/S/s1");
}

TEST_F(ListingTest, MaskHiddenEntriesAndDotsFilterTheListing) {
    touch("F/a.txt");
    touch("F/b.jpg");
    touch("F/.hidden.txt");
    touch("F/.secret/inside.txt");
    touch("F/sub/c.txt");
    const UnicodeString F = at("F");
    EXPECT_EQ(textLines(GetFilesFromDirectory(F, "*.txt", true, false)), (Lines{F + "/a.txt", F + "/sub/c.txt"}));
    const Lines all = textLines(GetFilesFromDirectory(F, "*", true, true));
    EXPECT_EQ(asSet(all), (std::set<UnicodeString>{F + "/a.txt", F + "/b.jpg", F + "/sub", F + "/sub/c.txt"}));
    EXPECT_EQ(asSet(textLines(GetDirsFromDirectory(F, true))), std::set<UnicodeString>{F + "/sub"});
}

TEST_F(ListingTest, DirsAreListedInPreOrderAndTheListFormDropsOneTrailingSeparator) {
    touch("D/x/y/f");
    touch("D/file");
    const UnicodeString D = at("D");
    EXPECT_EQ(textLines(GetDirsFromDirectory(D, true)), (Lines{D + "/x", D + "/x/y"}));
    EXPECT_EQ(textLines(GetDirsFromDirectory(D, false)), Lines{D + "/x"});
    EXPECT_EQ(textLines(GetDirsFromDirectory(D + "/", false)), Lines{D + "//x"});
    TStringList list;
    list.Add("old");
    EXPECT_EQ(GetDirsFromDirectory(D + "/", true, &list), 2);
    EXPECT_EQ(items(list), (Lines{D + "/x", D + "/x/y"}));
    EXPECT_EQ(GetDirsFromDirectory(at("missing"), true, &list), 0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListingTest, PicturesAreFoundByExtensionInAnyCase) {
    touch("P/Photo.JpEg");
    touch("P/a.PNG");
    touch("P/b.gif");
    touch("P/c.jpg");
    touch("P/picture.bmp");
    touch("P/png");
    touch("P/.png");        // hidden here: a name that begins with "."
    touch("P/.shot.jpg");   // hidden too
    touch("P/notes.jpg.txt");
    mkdir("P/x.jpg");
    const UnicodeString P = at("P");
    const std::set<UnicodeString> common{P + "/Photo.JpEg", P + "/a.PNG", P + "/b.gif", P + "/c.jpg"};
    EXPECT_EQ(asSet(textLines(GetPicturesFromDirectory(P))), common);

    TStringList list;
    list.Add("old");
    EXPECT_EQ(GetPicturesFromDirectory(P, &list), 5);
    std::set<UnicodeString> withBmp = common;
    withBmp.insert(P + "/picture.bmp");
    EXPECT_EQ(asSet(items(list)), withBmp);
}

TEST_F(ListingTest, NamesThatAreNotUtf8AreListedByTheirBytes) {
    touch("P/caf\xE9.JPG");
    touch("P/\xFF\xFE.png");
    touch("P/notes\xE9.txt");
    TStringList list;
    EXPECT_EQ(GetPicturesFromDirectory(at("P"), &list), 2);
    std::set<std::string> paths;
    for (const UnicodeString& path : items(list)) paths.insert(path.ToPathBytes());
    EXPECT_EQ(paths, (std::set<std::string>{(root / "P/caf\xE9.JPG").string(), (root / "P/\xFF\xFE.png").string()}));
}

TEST_F(ListingTest, SoundsAreFoundByExtension) {
    touch("S/a.ogg");
    touch("S/b.MP3");
    touch("S/c.Wav");
    touch("S/d.flac");
    const UnicodeString S = at("S");
    EXPECT_EQ(asSet(textLines(GetSoundFromDirectory(S))),
              (std::set<UnicodeString>{S + "/a.ogg", S + "/b.MP3", S + "/c.Wav"}));
}

TEST_F(ListingTest, ATrailingSeparatorDoublesTheSeparatorInEntries) {
    touch("T/a.jpg");
    const UnicodeString T = at("T") + "/";
    EXPECT_EQ(GetPicturesFromDirectory(T), T + "/a.jpg\r\n");
    EXPECT_EQ(GetFilesFromDirectory(T, "*", false, false), T + "/a.jpg\r\n");
    TStringList list;
    GetPicturesFromDirectory(T, &list);
    EXPECT_EQ(items(list), Lines{T + "/a.jpg"});
}

TEST_F(ListingTest, MissingAndEmptyFolders) {
    mkdir("E");
    for (const UnicodeString& folder : {at("E"), at("missing")}) {
        EXPECT_EQ(GetFilesFromDirectory(folder, "*", true, true), UnicodeString());
        EXPECT_EQ(GetDirsFromDirectory(folder, true), UnicodeString());
        EXPECT_EQ(GetPicturesFromDirectory(folder), UnicodeString());
        EXPECT_EQ(GetSoundFromDirectory(folder), UnicodeString());

        TStringList pictures;
        pictures.Add("old");
        EXPECT_EQ(GetPicturesFromDirectory(folder, &pictures), 0);
        EXPECT_EQ(pictures.Count(), 0);

        TStringList files;
        files.Add("old");
        GetFilesFromDirectory(folder, "*", true, true, &files);
        EXPECT_EQ(items(files), Lines{"old"});
    }
}

// Dialog 101 as stored in the program's resources: styles, font, controls
// in tab order with their texts (code page 932 bytes), classes and places.
// Read from the template itself, because the dialog manager moves the
// default-button style around once the dialog runs.
#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

struct Reader {
    const BYTE* at;

    WORD Word() { WORD w; memcpy(&w, at, 2); at += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, at, 4); at += 4; return d; }
    short Short() { return (short)Word(); }
    BYTE Byte() { return *at++; }
    void AlignDword(const BYTE* base) { while ((at - base) % 4) ++at; }

    // A text in code page 932 bytes; an ordinal comes back as "#<number>".
    std::string Text()
    {
        WORD first;
        memcpy(&first, at, 2);
        if (first == 0xFFFF) {
            at += 2;
            return "#" + std::to_string(Word());
        }
        const wchar_t* wide = (const wchar_t*)at;
        int length = (int)wcslen(wide);
        at += (length + 1) * 2;
        char bytes[512] = "";
        WideCharToMultiByte(932, 0, wide, length, bytes, sizeof bytes - 1, NULL, NULL);
        return bytes;
    }
};

struct Item {
    std::string windowClass;  // predefined classes as ordinals
    int id;
    std::string text;
    DWORD style;
    short x, y, cx, cy;
};

// Predefined classes may be stored by ordinal or by name; both mean the
// same to the dialog manager.
std::string PredefinedClass(const std::string& stored)
{
    if (lstrcmpiA(stored.c_str(), "Button") == 0) return "#128";
    if (lstrcmpiA(stored.c_str(), "Static") == 0) return "#130";
    if (lstrcmpiA(stored.c_str(), "ComboBox") == 0) return "#133";
    return stored;
}

const char kButton[] = "#128";
const char kStatic[] = "#130";
const char kComboBox[] = "#133";
const DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST(MainTemplate, MatchesItsTable)
{
    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(IDD_MAIN), (LPCSTR)RT_DIALOG);
    ASSERT_TRUE(found != NULL) << "dialog 101 missing";
    const BYTE* base = (const BYTE*)LockResource(LoadResource(NULL, found));
    Reader r = {base};

    ASSERT_EQ(1, r.Word());
    ASSERT_EQ(0xFFFF, r.Word()) << "an extended template";
    r.Dword();  // help id
    EXPECT_EQ(0u, r.Dword()) << "extended style";
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
              r.Dword());
    int count = r.Word();
    short place[4] = {r.Short(), r.Short(), r.Short(), r.Short()};
    EXPECT_EQ(0, place[0]);
    EXPECT_EQ(0, place[1]);
    EXPECT_EQ(298, place[2]);
    EXPECT_EQ(111, place[3]);
    EXPECT_EQ("", r.Text()) << "no menu";
    EXPECT_EQ("", r.Text()) << "the standard dialog class";
    EXPECT_EQ("Quillan", r.Text());
    EXPECT_EQ(9, r.Word()) << "point size";
    r.Word();  // weight
    r.Byte();  // italic
    r.Byte();  // character set
    EXPECT_EQ("ＭＳ Ｐゴシック", r.Text());

    const Item expected[] = {
        {kStatic, IDC_STATIC, "クリップメッセージ (直接入力可)", kChild | SS_LEFT | WS_GROUP,
         7, 10, 94, 8},
        {kButton, IDC_BROWSE_TEXT_FILE, "テキストファイル\n  参照指定",
         kChild | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | WS_TABSTOP, 4, 42, 64, 34},
        {kComboBox, IDC_CLIP_COMBO, "",
         kChild | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 4, 21, 288, 125},
        {kButton, IDOK, "クリップボード への\n  テキストコピー",
         kChild | BS_DEFPUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 216, 42, 76, 34},
        {kButton, IDC_EDIT_LIST, "クリップメッセージ\n  リスト編集",
         kChild | BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 72, 42, 68, 34},
        {kButton, IDC_MAKE_SHORTCUT, "ショートカット作成",
         kChild | BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 144, 42, 68, 34},
        {kButton, IDCANCEL, "終了", kChild | BS_PUSHBUTTON | WS_TABSTOP, 216, 84, 76, 20},
        {kStatic, IDC_STATIC, "", kChild | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN,
         4, 86, 208, 18},
    };
    ASSERT_EQ((int)(sizeof expected / sizeof expected[0]), count);

    for (const Item& want : expected) {
        r.AlignDword(base);
        r.Dword();  // help id
        DWORD exStyle = r.Dword();
        DWORD style = r.Dword();
        short x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
        int id = (int)r.Dword();
        std::string windowClass = PredefinedClass(r.Text());
        std::string text = r.Text();
        r.at += r.Word();  // creation data

        SCOPED_TRACE("control " + std::to_string(want.id) + " " + want.text);
        EXPECT_EQ(want.id, (short)id);
        EXPECT_EQ(want.windowClass, windowClass);
        EXPECT_EQ(0u, exStyle);
        EXPECT_EQ(want.style, style);
        EXPECT_EQ(want.x, x);
        EXPECT_EQ(want.y, y);
        EXPECT_EQ(want.cx, cx);
        EXPECT_EQ(want.cy, cy);
        // The maker's notice is ours to word; the other texts are fixed.
        if (&want == &expected[7]) {
            EXPECT_EQ(0u, text.find("Quillan")) << "the notice starts with the program's name";
        } else {
            EXPECT_EQ(want.text, text);
        }
    }
}

TEST(MainTemplate, IconsAndVersionRecordAreThere)
{
    // 105 is the shortcut maker's: 32 by 32 in 16 colours.
    HICON shortcut = (HICON)LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SHORTCUT),
                                       IMAGE_ICON, 32, 32, 0);
    ASSERT_TRUE(shortcut != NULL);
    DestroyIcon(shortcut);
    HRSRC group = FindResourceA(NULL, MAKEINTRESOURCEA(IDI_SHORTCUT), (LPCSTR)RT_GROUP_ICON);
    ASSERT_TRUE(group != NULL);
    const BYTE* dir = (const BYTE*)LockResource(LoadResource(NULL, group));
    EXPECT_EQ(1, dir[4]) << "one image";
    EXPECT_EQ(32, dir[6]);
    EXPECT_EQ(32, dir[7]);
    EXPECT_EQ(16, dir[8]) << "16 colours";

    EXPECT_TRUE(FindResourceA(NULL, MAKEINTRESOURCEA(IDI_QUILLAN), (LPCSTR)RT_GROUP_ICON));

    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::vector<BYTE> data(GetFileVersionInfoSizeA(path, NULL));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, (DWORD)data.size(), data.data()));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &size));
    EXPECT_EQ(0x00010007u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x000003F8u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010007u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x000003F8u, fixed->dwProductVersionLS);
    EXPECT_EQ(0u, fixed->dwFileFlags);
    EXPECT_EQ((DWORD)VOS_NT_WINDOWS32, fixed->dwFileOS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);

    WORD* translation = NULL;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", (void**)&translation,
                               &size));
    ASSERT_EQ(4u, size);
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(0x04b0, translation[1]);

    const struct {
        const char* name;
        const char* value;
    } strings[] = {
        {"FileVersion", "1, 7, 0, 1016"}, {"ProductVersion", "1, 7, 0, 1016"},
        {"FileDescription", "Quillan"},   {"InternalName", "Quillan"},
        {"ProductName", "Quillan"},       {"OriginalFilename", "Quillan.exe"},
        {"Comments", ""},                 {"LegalTrademarks", ""},
        {"PrivateBuild", ""},             {"SpecialBuild", ""},
    };
    for (const auto& s : strings) {
        std::string query = std::string("\\StringFileInfo\\041104b0\\") + s.name;
        char* value = NULL;
        EXPECT_TRUE(VerQueryValueA(data.data(), query.c_str(), (void**)&value, &size) && value)
            << s.name << " missing";
        if (value) {
            EXPECT_STREQ(s.value, value) << s.name;
        }
    }
}

}  // namespace

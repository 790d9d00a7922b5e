// Reads the dialogs, menu, accelerators, icon and version record back out of the
// built Paiview.exe, as the resource compiler laid them down.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::string exePath;

// The program's resources, mapped as data: nothing of it runs.
HMODULE resources() {
    static HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

std::string fromUtf16(const wchar_t* text, int length = -1) {
    char buffer[512] = "";
    const int bytes =
        WideCharToMultiByte(932, 0, text, length, buffer, sizeof buffer - 1, nullptr, nullptr);
    return std::string(buffer, length == -1 && bytes > 0 ? bytes - 1 : (bytes > 0 ? bytes : 0));
}

// Reads the little-endian template that a DIALOG statement makes (not DIALOGEX).
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : at(data) {}
    DWORD dword() {
        DWORD value;
        std::memcpy(&value, at, 4);
        at += 4;
        return value;
    }
    WORD word() {
        WORD value;
        std::memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    short coordinate() { return static_cast<short>(word()); }
    // A name or an ordinal; an ordinal reads as "#number".
    std::string nameOrOrdinal() {
        if (word() == 0xFFFF) {
            return "#" + std::to_string(word());
        }
        at -= 2;
        return text();
    }
    std::string text() {
        std::wstring wide;
        for (WORD c = word(); c != 0; c = word()) {
            wide += static_cast<wchar_t>(c);
        }
        return fromUtf16(wide.c_str(), static_cast<int>(wide.size()));
    }
    void alignToDword(const BYTE* base) {
        while ((at - base) % 4 != 0) {
            ++at;
        }
    }
    const BYTE* position() const { return at; }
    void skip(int bytes) { at += bytes; }

  private:
    const BYTE* at;
};

struct Control {
    int id;
    std::string kind; // Button, Edit, Static, ListBox, ComboBox
    DWORD style;
    short x, y, cx, cy;
    std::string text;
};

struct Dialog {
    bool found = false;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, caption, font;
    WORD pointSize = 0;
    std::vector<Control> controls;
};

std::string className(const std::string& name) {
    static const char* const predefined[] = {"Button",  "Edit",      "Static",
                                             "ListBox", "ScrollBar", "ComboBox"};
    if (name.size() > 1 && name[0] == '#') {
        const int ordinal = std::stoi(name.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85) {
            return predefined[ordinal - 0x80];
        }
    }
    for (const char* known : predefined) {
        if (lstrcmpiA(known, name.c_str()) == 0) {
            return known;
        }
    }
    return name;
}

Dialog loadDialog(int id) {
    Dialog dialog;
    HRSRC found = FindResourceA(resources(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (found == nullptr) {
        return dialog;
    }
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(resources(), found)));
    TemplateReader in(base);
    dialog.found = true;
    dialog.style = in.dword();
    in.dword(); // extended style
    const int count = in.word();
    dialog.x = in.coordinate();
    dialog.y = in.coordinate();
    dialog.cx = in.coordinate();
    dialog.cy = in.coordinate();
    dialog.menu = in.nameOrOrdinal();
    in.nameOrOrdinal(); // window class
    dialog.caption = in.text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.word();
        dialog.font = in.text();
    }
    for (int i = 0; i < count; ++i) {
        in.alignToDword(base);
        Control control{};
        control.style = in.dword();
        in.dword();
        control.x = in.coordinate();
        control.y = in.coordinate();
        control.cx = in.coordinate();
        control.cy = in.coordinate();
        control.id = static_cast<short>(in.word());
        control.kind = className(in.nameOrOrdinal());
        control.text = in.nameOrOrdinal();
        in.skip(in.word());
        dialog.controls.push_back(control);
    }
    return dialog;
}

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPushButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kPane =
    kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
// Static texts may or may not start a group where nothing depends on it.
constexpr DWORD kAnyGroup = WS_GROUP;

struct ExpectedControl {
    int id;
    const char* kind;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
    DWORD ignored = 0;
};

struct ExpectedDialog {
    int id;
    DWORD style;
    short cx, cy;
    const char* menu;
    const char* caption;
    std::vector<ExpectedControl> controls;
};

const std::vector<ExpectedDialog>& expectedDialogs() {
    static const std::vector<ExpectedDialog> dialogs = {
        {102,
         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
         282,
         181,
         "#113",
         "Paiview 初期画面      0件[   0]",
         {
             {1009, "ListBox",
              kChild | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7,
              30, 167, 144, ""},
             {1011, "Edit", kChild | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, 7, 7,
              135, 13, ""},
             {1003, "Button", kPushButton, 145, 11, 8, 10, "..."},
             {1, "Button", kPushButton, 158, 7, 14, 14, "&OK"},
             {1001, "Edit", kPane, 180, 30, 94, 71, ""},
             {1007, "Edit", kPane, 180, 108, 94, 66, ""},
             {1013, "Button", kPushButton, 207, 7, 27, 14, "&History"},
             {1017, "Button", kPushButton, 180, 7, 22, 14, "&Clear"},
             {1015, "Button", kPushButton, 237, 7, 37, 14, "&Search..."},
         }},
        {100,
         DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
         154,
         97,
         "",
         "ﾊﾞｰｼﾞｮﾝ情報",
         {
             {-1, "Static", kChild | SS_ICON | SS_SUNKEN, 21, 14, 18, 21, "#110", kAnyGroup},
             {-1, "Static", kChild | SS_NOPREFIX, 44, 21, 88, 8, "Paiview Ver1.0.0.1", kAnyGroup},
             {-1, "Static", kChild, 30, 39, 94, 8, "(C) 2003 Tamarind Labs", kAnyGroup},
             {-1, "Static", kChild, 78, 48, 56, 8, "Paiview team", kAnyGroup},
             {-1, "Button", kChild | BS_GROUPBOX, 7, 3, 140, 60, "", kAnyGroup},
             {-1, "Static", kChild, 27, 69, 100, 8, "E-Mail : paiview@example.com", kAnyGroup},
             {-1, "Static", kChild | SS_LEFTNOWORDWRAP, 15, 79, 123, 8,
              "https://www.example.com/paiview/", kAnyGroup},
         }},
        {106,
         DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
         187,
         133,
         "",
         "半荘の詳細",
         {
             {1014, "Edit", kPane, 7, 28, 85, 98, ""},
             {1015, "ComboBox", kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 7, 7, 173, 80,
              ""},
             {1016, "Edit", kPane, 95, 28, 85, 98, ""},
         }},
        {109,
         DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
         239,
         121,
         "",
         "検索",
         {
             {1014, "Edit", kChild | ES_NOHIDESEL | WS_BORDER | WS_TABSTOP, 60, 7, 172, 12, ""},
             {-1, "Static", kChild | WS_GROUP, 7, 10, 46, 8, "検索文字列(&O):"},
             {1020, "Button", kRadio | WS_GROUP, 16, 40, 38, 10, "卓名(&1)"},
             {1023, "Button", kRadio, 71, 40, 46, 10, "名前・R(&2)"},
             {1024, "Button", kRadio, 126, 40, 31, 10, "役(&6)"},
             {1022, "Button", kRadio, 16, 55, 51, 10, "開始時間(&3)"},
             {1029, "Button", kRadio, 71, 55, 51, 10, "終了時間(&4)"},
             {1028, "Button", kRadio, 16, 70, 114, 10, "各局の名前（東Ｘ局Ｙ本場など）(&5)"},
             {1027, "Button", kRadio, 16, 84, 79, 10, "各局の結果（得点）(&7)"},
             {1025, "Button", kRadio, 16, 97, 26, 10, "1位"},
             {1026, "Button", kRadio, 42, 97, 26, 10, "2位"},
             {1030, "Button", kRadio, 70, 97, 26, 10, "3位"},
             {1031, "Button", kRadio, 98, 97, 26, 10, "4位"},
             {-1, "Button", kChild | BS_GROUPBOX | WS_GROUP, 7, 25, 173, 89, "検索対象"},
             {1018, "Button", kPushButton, 182, 57, 50, 14, "上検索(&A)"},
             {1019, "Button", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 182, 78, 50, 14,
              "下検索(&B)"},
             {2, "Button", kPushButton, 182, 100, 50, 14, "ｷｬﾝｾﾙ"},
         }},
    };
    return dialogs;
}

void PrintTo(const ExpectedDialog& dialog, std::ostream* out) {
    *out << "dialog " << dialog.id;
}

class DialogTemplateTest : public testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTemplateTest, FrameCaptionAndFont) {
    const ExpectedDialog& expected = GetParam();
    const Dialog dialog = loadDialog(expected.id);
    ASSERT_TRUE(dialog.found) << "no dialog " << expected.id;
    EXPECT_EQ(dialog.style, expected.style | DS_SETFONT) << std::hex << dialog.style;
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, expected.cx);
    EXPECT_EQ(dialog.cy, expected.cy);
    EXPECT_EQ(dialog.menu, expected.menu);
    EXPECT_EQ(dialog.caption, expected.caption);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.font, "ＭＳ Ｐゴシック");
}

TEST_P(DialogTemplateTest, ControlsInTabOrder) {
    const ExpectedDialog& expected = GetParam();
    const Dialog dialog = loadDialog(expected.id);
    ASSERT_EQ(dialog.controls.size(), expected.controls.size());
    for (std::size_t i = 0; i < expected.controls.size(); ++i) {
        const ExpectedControl& want = expected.controls[i];
        const Control& got = dialog.controls[i];
        SCOPED_TRACE("dialog " + std::to_string(expected.id) + ", control " + std::to_string(i) +
                     " (" + want.text + ")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.style & ~want.ignored, want.style & ~want.ignored)
            << std::hex << got.style << " != " << want.style;
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.text, want.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Paiview, DialogTemplateTest, testing::ValuesIn(expectedDialogs()),
                         [](const testing::TestParamInfo<ExpectedDialog>& info) {
                             return "Dialog" + std::to_string(info.param.id);
                         });

struct MenuItem {
    std::string text;
    int id; // -1 for a pop-up
};

std::vector<MenuItem> menuItems(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        items.push_back({text, static_cast<int>(GetMenuItemID(menu, i))});
    }
    return items;
}

TEST(MenuTest, BarAndSearchPopup) {
    HMENU menu = LoadMenuA(resources(), MAKEINTRESOURCEA(113));
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuItem> bar = menuItems(menu);
    ASSERT_EQ(bar.size(), 3u);
    EXPECT_EQ(bar[0].text, "&Quit");
    EXPECT_EQ(bar[0].id, 2);
    EXPECT_EQ(bar[1].text, "&Search");
    EXPECT_EQ(bar[1].id, -1);
    EXPECT_EQ(bar[2].text, "&About...");
    EXPECT_EQ(bar[2].id, 40006);
    const std::vector<MenuItem> search = menuItems(GetSubMenu(menu, 1));
    ASSERT_EQ(search.size(), 3u);
    EXPECT_EQ(search[0].text, "&Dialog...\tCtrl+F");
    EXPECT_EQ(search[0].id, 40003);
    EXPECT_EQ(search[1].text, "&Above\tShift+F3");
    EXPECT_EQ(search[1].id, 40004);
    EXPECT_EQ(search[2].text, "&Below\tF3");
    EXPECT_EQ(search[2].id, 40005);
    DestroyMenu(menu);
}

TEST(AcceleratorTest, SearchKeys) {
    HACCEL table = LoadAcceleratorsA(resources(), MAKEINTRESOURCEA(112));
    ASSERT_NE(table, nullptr);
    ACCEL entries[8];
    const int count = CopyAcceleratorTableA(table, entries, 8);
    ASSERT_EQ(count, 3);
    struct Key {
        BYTE flags;
        WORD key;
        WORD command;
    };
    const Key expected[] = {
        {FVIRTKEY | FNOINVERT | FCONTROL, 'F', 40003},
        {FVIRTKEY | FNOINVERT, VK_F3, 40005},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_F3, 40004},
    };
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].flags);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].command);
    }
    DestroyAcceleratorTable(table);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(IconTest, SixteenColoursAt32And16) {
    HRSRC found = FindResourceA(resources(), MAKEINTRESOURCEA(110), MAKEINTRESOURCEA(14));
    ASSERT_NE(found, nullptr);
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(resources(), found)));
    WORD count;
    std::memcpy(&count, group + 4, 2);
    ASSERT_EQ(count, 2);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        IconGroupEntry entry;
        std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        EXPECT_EQ(entry.colours, 16);
        EXPECT_EQ(entry.bitCount, 4);
        EXPECT_EQ(entry.width, entry.height);
        sizes.push_back(entry.width);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
}

std::string versionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
        value == nullptr) {
        return "(missing)";
    }
    return value;
}

TEST(VersionTest, JapaneseUnicodeRecord) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(exePath.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exePath.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 1200);

    const struct {
        const char* name;
        const char* value;
    } strings[] = {
        {"FileVersion", "1, 0, 0, 1"},       {"ProductVersion", "1, 0, 0, 1"},
        {"ProductName", "Paiview"},          {"FileDescription", "東風荘の成績をデータベース化"},
        {"CompanyName", "Tamarind Labs"},    {"LegalCopyright", "Copyright (C) 2003 Tamarind Labs"},
        {"OriginalFilename", "Paiview.exe"},
    };
    for (const auto& entry : strings) {
        EXPECT_EQ(versionString(info, entry.name), entry.value) << entry.name;
    }
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: resource_tests [gtest options] PATH-TO-Paiview.exe\n");
        return 2;
    }
    exePath = argv[argc - 1];
    if (resources() == nullptr) {
        std::fprintf(stderr, "cannot read the resources of %s\n", exePath.c_str());
        return 1;
    }
    return RUN_ALL_TESTS();
}

// Shortcuts written through the library and read back through the shell
// link object.
#include "Morvask.h"
#include "test_support.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct LinkFields {
    HRESULT loaded;
    std::wstring target, arguments, workDir;
};

// Read through the UTF-16 interface, which gives every text whole.
LinkFields ReadLink(const std::wstring& link)
{
    LinkFields fields = {E_FAIL, L"", L"", L""};
    IShellLinkW* shellLink = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                (void**)&shellLink)))
        return fields;
    IPersistFile* file = NULL;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        fields.loaded = file->Load(link.c_str(), STGM_READ);
        WCHAR text[1024];
        text[0] = L'\0';
        shellLink->GetPath(text, MAX_PATH, NULL, SLGP_RAWPATH);
        fields.target = text;
        text[0] = L'\0';
        shellLink->GetArguments(text, 1024);
        fields.arguments = text;
        text[0] = L'\0';
        shellLink->GetWorkingDirectory(text, MAX_PATH);
        fields.workDir = text;
        file->Release();
    }
    shellLink->Release();
    return fields;
}

class MorvaskShortCut : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL))); }
    void TearDown() override { CoUninitialize(); }
    ScratchFolder folder{"morvask"};
    const std::string target = "C:\\windows\\notepad.exe";
};

TEST_F(MorvaskShortCut, WritesTargetArgumentsAndWorkingFolder)
{
    const struct {
        std::string linkName, arguments, workDir;
    } cases[] = {
        {"plain.lnk", "/m=\"Good morning\" /g /e", "C:\\windows"},
        {"おはよう.lnk", "/m=\"おはよう\" /x=10 /y=20", "C:\\windows\\system32"},
        {"empty.lnk", "", ""},
    };
    for (const auto& c : cases) {
        std::string link = folder.File(c.linkName);
        HRESULT result = MRVK0_CreateShortCut(link.c_str(), target.c_str(), c.arguments.c_str(),
                                              c.workDir.c_str());
        EXPECT_GE(result, 0) << c.linkName << ": 0x" << std::hex << result;
        LinkFields fields = ReadLink(Wide(link));
        EXPECT_EQ(S_OK, fields.loaded) << c.linkName << " cannot be read back";
        EXPECT_EQ(Wide(target), fields.target) << c.linkName;
        EXPECT_EQ(Wide(c.arguments), fields.arguments) << c.linkName;
        EXPECT_EQ(Wide(c.workDir), fields.workDir) << c.linkName;
    }
}

// The wide form: a message outside code page 932 (é, 𠮷, an emoji) and a
// link name that the ANSI code page cannot hold either.
TEST_F(MorvaskShortCut, WideFormKeepsTextsOutsideTheCodePage)
{
    const std::wstring link = Wide(folder.path) + L"\\おはよう𠮷.lnk";
    const std::wstring wideTarget = Wide(target);
    const std::wstring arguments = L"/m=\"café 𠮷 😀\" /g /e";
    const std::wstring workDir = L"C:\\windows";
    HRESULT result = MRVK0_CreateShortCutW(link.c_str(), wideTarget.c_str(), arguments.c_str(),
                                           workDir.c_str());
    EXPECT_GE(result, 0) << "0x" << std::hex << result;
    LinkFields fields = ReadLink(link);
    EXPECT_EQ(S_OK, fields.loaded) << "cannot be read back";
    EXPECT_EQ(wideTarget, fields.target);
    EXPECT_EQ(arguments, fields.arguments) << "the message did not come back whole";
    EXPECT_EQ(workDir, fields.workDir);
}

TEST_F(MorvaskShortCut, UnwritableOrOverlongPathsFailAndWriteNothing)
{
    const std::string cases[] = {
        folder.File("no-such-folder\\x.lnk"),
        // 300 bytes of name: it does not convert into 260 UTF-16 units, and
        // a cut path must not be written to.
        folder.File(std::string(300, 'L') + ".lnk"),
        folder.File(std::string(250, 'L') + ".lnk"),
    };
    for (const std::string& link : cases) {
        HRESULT result = MRVK0_CreateShortCut(link.c_str(), target.c_str(), "", "");
        EXPECT_LT(result, 0) << link.size() << "-byte link path: 0x" << std::hex << result;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*.lnk").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "a shortcut was written: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace

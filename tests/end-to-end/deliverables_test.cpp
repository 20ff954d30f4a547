// The two deliverables as files: a 32-bit GUI program that loads the
// library at start by name, and nothing of the compiler's runtime that a
// bare Windows would lack.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> ReadWhole(const std::string& path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, NULL));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), (DWORD)bytes.size(), &read, NULL)) read = 0;
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

std::string Beside(const char* name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    strcpy(strrchr(path, '\\') + 1, name);
    return path;
}

// A PE32 image read as a file: its headers and named imports, per DLL.
struct Image {
    std::vector<BYTE> bytes;
    const IMAGE_NT_HEADERS32* nt = NULL;

    bool Open(const std::string& path)
    {
        bytes = ReadWhole(path);
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
        const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)bytes.data();
        if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
            (size_t)dos->e_lfanew + sizeof(IMAGE_NT_HEADERS32) > bytes.size()) {
            return false;
        }
        nt = (const IMAGE_NT_HEADERS32*)(bytes.data() + dos->e_lfanew);
        return nt->Signature == IMAGE_NT_SIGNATURE;
    }

    const BYTE* At(DWORD rva) const
    {
        const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
            DWORD size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size) {
                DWORD offset = rva - section->VirtualAddress + section->PointerToRawData;
                return offset < bytes.size() ? bytes.data() + offset : NULL;
            }
        }
        return NULL;
    }

    // DLL name (lower case) -> imported names ("#n" for an ordinal).
    std::map<std::string, std::vector<std::string>> Imports() const
    {
        std::map<std::string, std::vector<std::string>> imports;
        DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        const IMAGE_IMPORT_DESCRIPTOR* dll = (const IMAGE_IMPORT_DESCRIPTOR*)At(rva);
        for (; dll && dll->Name; ++dll) {
            std::string name = (const char*)At(dll->Name);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            std::vector<std::string>& names = imports[name];
            DWORD thunks = dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk;
            for (const DWORD* thunk = (const DWORD*)At(thunks); thunk && *thunk; ++thunk) {
                if (*thunk & IMAGE_ORDINAL_FLAG32) {
                    names.push_back("#" + std::to_string(*thunk & 0xFFFF));
                } else {
                    names.push_back((const char*)At(*thunk + 2));
                }
            }
        }
        return imports;
    }
};

// The DLLs a binary imports at load time, in lower case and sorted; empty
// when it cannot be read.
std::vector<std::string> ImportedDllNames(const std::string& path)
{
    Image image;
    std::vector<std::string> names;
    if (!image.Open(path)) return names;
    for (const auto& dll : image.Imports()) names.push_back(dll.first);
    return names;
}

// Whatever a bare Windows does not have: the compiler's own runtimes.
bool IsCompilerRuntime(const std::string& dll)
{
    for (const char* prefix : {"libgcc", "libstdc++", "libwinpthread", "libssp", "msvcp",
                               "vcruntime", "ucrtbase", "api-ms-win-crt"}) {
        if (dll.compare(0, strlen(prefix), prefix) == 0) return true;
    }
    return false;
}

TEST(Deliverables, ProgramIsA32BitGuiProgramImportingOnlyKnownDllsAndTheLibrary)
{
    Image program;
    ASSERT_TRUE(program.Open(Beside("Quillan.exe")));
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, program.nt->FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, program.nt->OptionalHeader.Magic);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, program.nt->OptionalHeader.Subsystem);

    std::map<std::string, std::vector<std::string>> imports = program.Imports();
    std::vector<std::string> used = imports["morvask.dll"];
    std::sort(used.begin(), used.end());
    const std::vector<std::string> expected = {
        "MRVK0_CreateShortCutW", "MRVK0_FolderExistW",   "MRVK0_GetFileSizeW",
        "MRVK0_GetFileVersionStringW", "MRVK0_GetGlobalMemory", "MRVK0_GetVersionString",
        "MRVK0_GetWindowPands",  "MRVK0_ReadTextToBufferW"};
    EXPECT_EQ(expected, used) << "imported by name from Morvask.dll at load time";
    // Any other DLL is searched for beside the program first, where a
    // planted one would run: only known DLLs are imported at load time; the
    // rest is loaded late from the system folder.
    EXPECT_EQ((std::vector<std::string>{"kernel32.dll", "morvask.dll", "msvcrt.dll", "user32.dll"}),
              ImportedDllNames(Beside("Quillan.exe")));
}

TEST(Deliverables, LibraryNeedsNoCompilerRuntime)
{
    Image library;
    ASSERT_TRUE(library.Open(Beside("Morvask.dll")));
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, library.nt->FileHeader.Machine);
    EXPECT_TRUE(library.nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
    for (const auto& dll : library.Imports()) {
        EXPECT_FALSE(IsCompilerRuntime(dll.first)) << "Morvask.dll needs " << dll.first;
    }
}

// A DLL that is not one of the system's known DLLs is looked for in the
// program's folder first, where a planted copy would run; the library binds
// such DLLs (version.dll) late, from the system folder, and neither
// imports them nor delay-loads them. COM (ole32) is bound late too: a
// one-click start does not need it.
TEST(Deliverables, LibraryImportsOnlyDllsTheSystemMapsFromItsOwnFolder)
{
    const std::vector<std::string> known = {"kernel32.dll", "msvcrt.dll", "user32.dll"};
    EXPECT_EQ(known, ImportedDllNames(Beside("Morvask.dll")));
    Image library;
    ASSERT_TRUE(library.Open(Beside("Morvask.dll")));
    EXPECT_EQ(0u, library.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size)
        << "delay-loaded DLLs are searched for like imported ones";
}

// Both binaries: loaded at a random base (with the relocations that needs),
// data never executed, and the statement that the image registers no SEH
// handlers, which a 32-bit image without a table of its handlers must make.
TEST(Deliverables, BothBinariesCarryTheHardeningFlags)
{
    for (const char* name : {"Quillan.exe", "Morvask.dll"}) {
        Image image;
        ASSERT_TRUE(image.Open(Beside(name))) << name;
        WORD flags = image.nt->OptionalHeader.DllCharacteristics;
        EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << name << ": no ASLR";
        EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << name << ": no DEP";
        EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NO_SEH) << name << ": NO_SEH not declared";
        EXPECT_FALSE(image.nt->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED) << name;
        EXPECT_NE(0u, image.nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC].Size)
            << name << " has no relocations: it cannot be moved";
    }
}

}  // namespace

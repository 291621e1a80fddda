#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include "base/com_ptr.h"
#include "components/log/record_store.h"
#include "components/log/viewer_language.h"
#include "tests/support/log_component.h"
#include "tests/support/temp_folder.h"

namespace {

std::wstring ClassKey() {
    wchar_t clsid[40] = {};
    StringFromGUID2(CLSID_JotbookLog, clsid, 40);
    return std::wstring(L"CLSID\\") + clsid;
}

std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"<none>";
    return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

ComPtr<ILogBook> NewBook(const LogComponentModule& dll) {
    ComPtr<IClassFactory> factory;
    ComPtr<ILogBook> book;
    if (SUCCEEDED(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid())))
        factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid());
    return book;
}

// HKEY_CURRENT_USER redirected to a scratch key for the test's lifetime.
class ScratchCurrentUser {
public:
    ScratchCurrentUser() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kPath);
        RegCreateKeyExA(HKEY_CURRENT_USER, kPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        overridden = key && RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    }
    ~ScratchCurrentUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (key) RegCloseKey(key);
        RegDeleteTreeA(HKEY_CURRENT_USER, kPath);
    }
    bool Ready() const { return overridden; }
    HKEY Key() const { return key; }

private:
    static constexpr const char* kPath = "Software\\TidyholdTests\\LogComponent";
    HKEY key = nullptr;
    bool overridden = false;
};

}  // namespace

TEST(LogComponentRegistration, MachineRegistrationResolvesTheProgIdAndUnregisteringRemovesIt) {
    ScopedLogRegistration startClean(false);
    LogComponentModule dll;
    ASSERT_TRUE(dll);
    ASSERT_FALSE(LogComponentRegistered());

    ASSERT_EQ(dll.RegisterServer(), S_OK);
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Jotbook.Log", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_JotbookLog));
    std::wstring server = ReadString(HKEY_CLASSES_ROOT, ClassKey() + L"\\InprocServer32", nullptr);
    EXPECT_TRUE(server.ends_with(L"\\JotbookLog.dll")) << FromWide(server);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ClassKey() + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, ClassKey() + L"\\ProgID", nullptr), L"Jotbook.Log");
    ComPtr<ILogBook> book;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ILogBook, book.PutVoid()), S_OK);
    EXPECT_TRUE(book);
    book.Reset();

    EXPECT_EQ(dll.UnregisterServer(), S_OK);
    EXPECT_FALSE(LogComponentRegistered());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + ClassKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Jotbook.Log"));
    EXPECT_EQ(dll.UnregisterServer(), S_OK);  // nothing left to remove is no failure
}

TEST(LogComponentRegistration, UnregisteringLeavesAProgIdThatNamesAnotherClass) {
    ScopedLogRegistration startClean(false);
    LogComponentModule dll;
    const std::wstring progKey = L"Software\\Classes\\Jotbook.Log\\CLSID";
    const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, progKey.c_str(), nullptr, REG_SZ, other.c_str(),
                              static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_EQ(dll.UnregisterServer(), S_OK);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, progKey, nullptr), other);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Jotbook.Log");
}

// "regsvr32 /n /i:user": the current user's classes only, never the machine's.
TEST(LogComponentRegistration, UserInstallWritesUnderTheCurrentUsersClassesOnly) {
    ScopedLogRegistration startClean(false);
    LogComponentModule dll;
    ScratchCurrentUser user;
    ASSERT_TRUE(user.Ready());

    ASSERT_EQ(dll.Install(true, L"user"), S_OK);
    const std::wstring classes = L"Software\\Classes\\";
    EXPECT_EQ(ReadString(user.Key(), classes + L"Jotbook.Log\\CLSID", nullptr), ClassKey().substr(6));
    EXPECT_EQ(ReadString(user.Key(), classes + ClassKey() + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, classes + ClassKey()));

    EXPECT_EQ(dll.Install(false, L"user"), S_OK);
    EXPECT_FALSE(KeyExists(user.Key(), classes + ClassKey()));
    EXPECT_FALSE(KeyExists(user.Key(), classes + L"Jotbook.Log"));
    EXPECT_EQ(dll.Install(true, L"everyone"), E_INVALIDARG);
}

TEST(LogComponentServer, CanUnloadOnlyWithNoObjectAndNoLock) {
    LogComponentModule dll;
    ASSERT_TRUE(dll);
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid()), S_OK);
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);
    ComPtr<ILogBook> book;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ILogBook, book.PutVoid()), S_OK);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(book->QueryInterface(IID_IPropertyPage, page.PutVoid()), S_OK);
    factory->LockServer(TRUE);
    factory.Reset();
    book.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the page is the same object, still alive
    page.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_FALSE);  // the lock
    ASSERT_EQ(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid()), S_OK);
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);
}

TEST(LogComponentServer, RefusesOtherClassesAggregationAndOtherInterfaces) {
    LogComponentModule dll;
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(dll.GetClassObject(IID_IPropertyPage, IID_IClassFactory, factory.PutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(dll.GetClassObject(CLSID_JotbookLog, IID_IClassFactory, factory.PutVoid()), S_OK);
    ComPtr<IUnknown> unknown;
    IUnknown* outer = factory.Get();
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, unknown.PutVoid()), CLASS_E_NOAGGREGATION);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, dispatch.PutVoid()), E_NOINTERFACE);
    factory.Reset();
    EXPECT_EQ(dll.CanUnloadNow(), S_OK);  // the refused object went away
}

TEST(LogComponentBook, AppendsUnderTheFolderItMakesAndAnswersTheUnusedSlots) {
    LogComponentModule dll;
    ComPtr<ILogBook> book = NewBook(dll);
    ASSERT_TRUE(book);
    UniqueBstr text("x");
    EXPECT_EQ(book->AddRecord(text.Get(), text.Get(), text.Get(), text.Get(), text.Get()), E_UNEXPECTED);
    for (auto result : {book->Reserved3(), book->Reserved4(), book->Reserved5(), book->Reserved6()})
        EXPECT_EQ(result, E_NOTIMPL);

    TempFolder temp;
    UniqueBstr folder(temp / "Program\\Log\\Data\\");
    ASSERT_EQ(book->SetFolder(folder.Get()), S_OK);
    // UTF-16 in, UTF-8 on disk: Japanese, an emoji (a surrogate pair) and line breaks.
    const wchar_t wideText[] = L"\u30B4\u30DF\u7BB1 \U0001F9F9\r\nC:\\a.tmp\n";
    BSTR type = SysAllocString(L"Cleaning"), body = SysAllocString(wideText);
    EXPECT_EQ(book->AddRecord(type, nullptr, nullptr, nullptr, body), S_OK);
    SysFreeString(type);
    SysFreeString(body);

    std::vector<LogRecord> records = ReadRecords(std::wstring(folder.Get()));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].type, "Cleaning");
    EXPECT_EQ(records[0].category, "");
    EXPECT_EQ(records[0].text, "\xE3\x82\xB4\xE3\x83\x9F\xE7\xAE\xB1 \xF0\x9F\xA7\xB9\r\nC:\\a.tmp\n");

    // A file where the folder should be: the record cannot go anywhere, and says so.
    WriteFile(temp / "blocked", "");
    UniqueBstr blocked(temp / "blocked\\Data");
    ASSERT_EQ(book->SetFolder(blocked.Get()), S_OK);
    EXPECT_TRUE(FAILED(book->AddRecord(text.Get(), text.Get(), text.Get(), text.Get(), text.Get())));
    EXPECT_EQ(book->SetFolder(nullptr), E_INVALIDARG);
}

TEST(LogViewerLanguage, TheFileIsNamedAfterTheHostProgram) {
    struct Case {
        const wchar_t *program, *file;
    } cases[] = {
        {L"C:\\Program Files\\Tidyhold\\Tidyhold.exe", L"C:\\Program Files\\Tidyhold\\Tidyhold.language"},
        {L"D:\\v1.2\\my.tool.exe", L"D:\\v1.2\\my.tool.language"},
        {L"D:\\v1.2\\tool", L"D:\\v1.2\\tool.language"},
        {L"\\\\server\\share\\ui_tests.exe", L"\\\\server\\share\\ui_tests.language"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FromWide(c.program));
        EXPECT_EQ(LanguageFileOf(c.program), c.file);
    }
}

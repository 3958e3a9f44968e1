#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "platform/win32/com_object.h"
#include "platform/win32/unique_resource.h"

namespace {

using platform::win32::ComObject;
using platform::win32::MakeComObject;
using platform::win32::UniqueBstr;
using platform::win32::UniqueHandle;
using platform::win32::UniqueRegistryKey;
using platform::win32::UniqueTypeLibAttributes;

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent()
{
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

TEST(UniqueResourceTest, ClosesItsHandleOnceWhenItGoesOrTakesAnother)
{
    HANDLE first = NewEvent();
    HANDLE second = NewEvent();
    ASSERT_TRUE(IsOpen(first) && IsOpen(second));
    {
        UniqueHandle holder(first);
        EXPECT_TRUE(holder.IsValid());
        holder.Reset(second);
        EXPECT_FALSE(IsOpen(first));
        EXPECT_TRUE(IsOpen(second));
        EXPECT_EQ(holder.Get(), second);
    }
    EXPECT_FALSE(IsOpen(second));
}

TEST(UniqueResourceTest, MovingHandsOverWithoutClosing)
{
    HANDLE event = NewEvent();
    UniqueHandle source(event);
    UniqueHandle target(std::move(source));
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(target.Get(), event);
    UniqueHandle assigned;
    assigned = std::move(target);
    EXPECT_TRUE(IsOpen(event));
    EXPECT_EQ(assigned.Get(), event);
    // Released, the handle is the caller's to close.
    HANDLE released = assigned.Release();
    EXPECT_FALSE(assigned.IsValid());
    EXPECT_TRUE(IsOpen(released));
    CloseHandle(released);
}

TEST(UniqueResourceTest, FailedCallsLeaveNothingToClose)
{
    UniqueHandle file(CreateFileW(L"Z:\\no such folder\\no such file", GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.IsValid());
    UniqueRegistryKey key;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\No such key of the tests", 0, KEY_READ,
                            key.Put()),
              ERROR_SUCCESS);
    EXPECT_FALSE(key.IsValid());
}

TEST(UniqueResourceTest, PutGivesBackTheHeldResourceBeforeTheNextCall)
{
    UniqueRegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    const HKEY first = key.Get();
    HKEY* slot = key.Put();
    EXPECT_EQ(*slot, nullptr);
    EXPECT_NE(RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, slot), ERROR_SUCCESS);
    EXPECT_TRUE(key.IsValid());

    UniqueHandle event(NewEvent());
    const HANDLE firstEvent = event.Get();
    EXPECT_EQ(*event.Put(), nullptr);
    EXPECT_FALSE(IsOpen(firstEvent));
}

TEST(UniqueResourceTest, SystemStringsAndTypeLibraryAttributes)
{
    UniqueBstr text(SysAllocString(L"VW_Zorbel"));
    EXPECT_EQ(SysStringLen(text.Get()), 9u);

    ITypeLib* library = nullptr;
    ASSERT_EQ(LoadTypeLibEx(L"stdole2.tlb", REGKIND_NONE, &library), S_OK);
    UniqueTypeLibAttributes attributes;
    ASSERT_EQ(platform::win32::GetTypeLibAttributes(library, attributes), S_OK);
    // The holder keeps its own reference of the library.
    EXPECT_GT(library->Release(), 0u);
    ASSERT_TRUE(attributes.IsValid());
    EXPECT_EQ(attributes.Get().attributes->wMajorVerNum, 2);
}

// A ComObject that reports its deletion and answers one further interface on request.
class Probe final : public ComObject<IClassFactory, IID_IClassFactory> {
public:
    explicit Probe(bool& deleted) : m_deleted(deleted) {}
    ~Probe() override { m_deleted = true; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    bool offerMarshal = false;

protected:
    HRESULT QueryOtherInterface(REFIID iid, void** object) override
    {
        if (offerMarshal && IsEqualIID(iid, IID_IMarshal)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    bool& m_deleted;
};

TEST(ComObjectTest, CountsReferencesAndDeletesItselfAtTheLast)
{
    bool deleted = false;
    auto probe = MakeComObject<Probe>(deleted);
    ASSERT_TRUE(probe);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(probe->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(probe->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(factory));
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(factory->Release(), 1u);
    probe.Reset();
    EXPECT_TRUE(deleted);
}

TEST(ComObjectTest, AnswersOtherInterfacesOnlyThroughTheDerivedObject)
{
    bool deleted = false;
    auto probe = MakeComObject<Probe>(deleted);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(probe->QueryInterface(IID_IMarshal, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(probe->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
    probe->offerMarshal = true;
    ASSERT_EQ(probe->QueryInterface(IID_IMarshal, &object), S_OK);
    static_cast<IUnknown*>(object)->Release();
    probe.Reset();
    EXPECT_TRUE(deleted);
}

}  // namespace

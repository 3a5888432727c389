#include "device/com_runtime.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/code_page.h"
#include "device/com_ptr.h"
#include "device/com_test_server.h"
#include "device/com_test_support.h"
#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

namespace fs = std::filesystem;
using testing::CLSID_TestCounter;
using testing::IID_ITestCounter;
using testing::ITestCounter;
using testing::IsMapped;

constexpr IID kIidNobodyHas{0xDEADBEEF, 0x0BAD, 0xF00D, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr CLSID kClsidElsewhere{0x0C0FFEE0, 0x1234, 0x5678, {9, 9, 9, 9, 9, 9, 9, 9}};
constexpr std::u16string_view kServerPath = u"\\Program Files\\Test\\counter.dll";

// Leaves a recognisable value in an out parameter, so a test sees whether a failure cleared it.
void* const kGarbage = reinterpret_cast<void*>(0x1);

class ComRuntimeTest : public ::testing::Test {
 protected:
  ComRuntimeTest() : registry_(temp_.device().RegistryFile()) {
    serverHost_ = testing::InstallFile(device(), BREVALO_COM_TEST_SERVER,
                                       "Program Files/Test/counter.dll");
    Register(CLSID_TestCounter, kServerPath);
  }

  void Register(const CLSID& clsid, std::u16string_view server) {
    ASSERT_TRUE(registry_.SetString(RegRoot::ClassesRoot,
                                    u"\\CLSID\\" + FormatGuid(clsid) + u"\\InprocServer32", u"",
                                    server));
  }

  ComPtr<ITestCounter> CreateCounter(ComRuntime& runtime) {
    ComPtr<ITestCounter> counter;
    EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_ITestCounter, counter.PutVoid()),
              S_OK)
        << runtime.LastError();
    return counter;
  }

  ComPtr<IClassFactory> GetFactory(ComRuntime& runtime) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(runtime.CoGetClassObject(CLSID_TestCounter, IID_IClassFactory, factory.PutVoid()),
              S_OK)
        << runtime.LastError();
    return factory;
  }

  const Device& device() const { return temp_.device(); }

  testing::TempDevice temp_;
  Registry registry_;
  fs::path serverHost_;
};

// --- activation through the registry -------------------------------------------------------

TEST_F(ComRuntimeTest, CreatesAWorkingObjectOfARegisteredClass) {
  ComRuntime runtime(device(), registry_);
  ComPtr<ITestCounter> counter = CreateCounter(runtime);
  ASSERT_TRUE(counter);
  EXPECT_EQ(counter->Increment(), 1);
  EXPECT_EQ(counter->Increment(), 2);
  EXPECT_TRUE(IsMapped(serverHost_));
  EXPECT_EQ(runtime.LoadedServers(), std::vector<std::u16string>{std::u16string(kServerPath)});
}

TEST_F(ComRuntimeTest, FindsAServerRegisteredByBareNameInTheProgramFolderThenWindows) {
  Register(CLSID_TestCounter, u"COUNTER.DLL");
  ComRuntime inProgram(device(), registry_, u"\\Program Files\\Test\\");
  ComPtr<ITestCounter> counter = CreateCounter(inProgram);
  EXPECT_TRUE(counter);

  ComRuntime inWindowsOnly(device(), registry_);
  void* object = kGarbage;
  EXPECT_EQ(inWindowsOnly.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_ITestCounter, &object),
            CO_E_DLLNOTFOUND);
  EXPECT_EQ(object, nullptr);
  fs::path system = testing::InstallFile(device(), BREVALO_COM_TEST_SERVER, "Windows/counter.dll");
  ComPtr<ITestCounter> fromWindows = CreateCounter(inWindowsOnly);
  EXPECT_TRUE(fromWindows);
  EXPECT_TRUE(IsMapped(system));
}

TEST_F(ComRuntimeTest, OneMappingServesEverySpellingAndClassOfALibrary) {
  Register(kClsidElsewhere, u"\\program files\\TEST\\Counter.dll");
  ComRuntime runtime(device(), registry_);
  ComPtr<ITestCounter> a = CreateCounter(runtime);
  ComPtr<ITestCounter> b = CreateCounter(runtime);
  // The server knows only its own class; the answer comes back unchanged, the object cleared.
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(runtime.LoadedServers().size(), 1u);
}

// --- interfaces and references -------------------------------------------------------------

TEST_F(ComRuntimeTest, TheClassFactoryAnswersForItsInterfacesOnly) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IClassFactory> factory = GetFactory(runtime);
  ASSERT_TRUE(factory);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(factory.As(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(factory.Get()), unknown.Get());
  ComPtr<IClassFactory> again;
  EXPECT_EQ(factory.As(IID_IClassFactory, &again), S_OK);
  EXPECT_EQ(again.Get(), factory.Get());
  void* object = kGarbage;
  EXPECT_EQ(factory->QueryInterface(kIidNobodyHas, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->QueryInterface(IID_ITestCounter, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ComRuntimeTest, ObjectsAnswerForTheirInterfacesOnly) {
  ComRuntime runtime(device(), registry_);
  ComPtr<ITestCounter> counter = CreateCounter(runtime);
  ASSERT_TRUE(counter);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(counter.As(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(counter.Get()), unknown.Get());
  void* object = kGarbage;
  EXPECT_EQ(counter->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  // The factory can also be asked for the object's own interface directly.
  ComPtr<IUnknown> plain;
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown,
                                     plain.PutVoid()),
            S_OK);
  ComPtr<ITestCounter> asCounter;
  EXPECT_EQ(plain.As(IID_ITestCounter, &asCounter), S_OK);
  EXPECT_EQ(asCounter->Increment(), 1);
}

TEST_F(ComRuntimeTest, ReferenceCountsStartAtOneAndCountEveryHolder) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IClassFactory> factory = GetFactory(runtime);
  ASSERT_TRUE(factory);
  // The runtime keeps no reference of its own: the caller's is the only one.
  EXPECT_EQ(factory->AddRef(), 2u);
  EXPECT_EQ(factory->Release(), 1u);
  ComPtr<ITestCounter> counter;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITestCounter, counter.PutVoid()), S_OK);
  EXPECT_EQ(counter->AddRef(), 2u);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(counter.As(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(counter->Release(), 2u);
  unknown.Reset();
  EXPECT_EQ(counter->AddRef(), 2u);
  EXPECT_EQ(counter->Release(), 1u);
}

// Calls the slots of the vtable by number, as a host built by another compiler would: the order
// QueryInterface, AddRef, Release, CreateInstance, LockServer is what servers and hosts share.
TEST_F(ComRuntimeTest, TheClassFactorySlotsAreInThePhonesOrder) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IClassFactory> factory = GetFactory(runtime);
  ASSERT_TRUE(factory);
  void* self = factory.Get();
  void** slots = *static_cast<void***>(self);
  using QueryInterfaceSlot = HRESULT (*)(void*, const IID&, void**);
  using CountSlot = uint32_t (*)(void*);
  using CreateInstanceSlot = HRESULT (*)(void*, IUnknown*, const IID&, void**);
  using LockServerSlot = HRESULT (*)(void*, bool);

  void* unknown = nullptr;
  EXPECT_EQ(reinterpret_cast<QueryInterfaceSlot>(slots[0])(self, IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown, self);
  EXPECT_EQ(reinterpret_cast<CountSlot>(slots[1])(self), 3u);
  EXPECT_EQ(reinterpret_cast<CountSlot>(slots[2])(self), 2u);
  EXPECT_EQ(reinterpret_cast<CountSlot>(slots[2])(self), 1u);

  void* counter = nullptr;
  EXPECT_EQ(reinterpret_cast<CreateInstanceSlot>(slots[3])(self, nullptr, IID_ITestCounter,
                                                           &counter),
            S_OK);
  ASSERT_NE(counter, nullptr);
  ComPtr<ITestCounter>::Adopt(static_cast<ITestCounter*>(counter)).Reset();

  // A lock taken through slot 4 keeps the server loaded after every object is gone.
  EXPECT_EQ(reinterpret_cast<LockServerSlot>(slots[4])(self, true), S_OK);
  factory.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 0u);
  factory = GetFactory(runtime);
  EXPECT_EQ(factory->LockServer(false), S_OK);
  factory.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 1u);
}

// --- failures ------------------------------------------------------------------------------

TEST_F(ComRuntimeTest, AnUnregisteredClassIsReportedSo) {
  ComRuntime runtime(device(), registry_);
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(kClsidElsewhere, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_NE(runtime.LastError().find(ToUtf8(FormatGuid(kClsidElsewhere))), std::string::npos);
  object = kGarbage;
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  // A class key without a server value is no in-process class either.
  ASSERT_TRUE(registry_.CreateKey(RegRoot::ClassesRoot,
                                  u"CLSID\\" + FormatGuid(kClsidElsewhere) + u"\\LocalServer32"));
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            REGDB_E_CLASSNOTREG);
}

TEST_F(ComRuntimeTest, AMissingOrBrokenLibraryIsReportedWithItsPath) {
  ComRuntime runtime(device(), registry_);
  void* object = kGarbage;
  Register(kClsidElsewhere, u"\\Program Files\\Test\\gone.dll");
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            CO_E_DLLNOTFOUND);
  EXPECT_EQ(object, nullptr);
  EXPECT_NE(runtime.LastError().find("gone.dll"), std::string::npos);

  testing::WriteFile(device(), "Program Files/Test/broken.dll", std::string(64, 'x'));
  Register(kClsidElsewhere, u"\\Program Files\\Test\\broken.dll");
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            CO_E_DLLNOTFOUND);
  EXPECT_NE(runtime.LastError().find("broken.dll"), std::string::npos);

  Register(kClsidElsewhere, u"");
  EXPECT_EQ(runtime.CoGetClassObject(kClsidElsewhere, IID_IClassFactory, &object),
            CO_E_DLLNOTFOUND);
  EXPECT_TRUE(runtime.LoadedServers().empty());
}

TEST_F(ComRuntimeTest, ALibraryWithoutTheExportIsReportedAndNotKept) {
  fs::path plain =
      testing::InstallFile(device(), BREVALO_COM_TEST_MODULE, "Program Files/Test/plain.dll");
  Register(kClsidElsewhere, u"\\Program Files\\Test\\plain.dll");
  ComRuntime runtime(device(), registry_);
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(kClsidElsewhere, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, &object),
            CO_E_ERRORINDLL);
  EXPECT_EQ(object, nullptr);
  EXPECT_NE(runtime.LastError().find("DllGetClassObject"), std::string::npos);
  EXPECT_FALSE(IsMapped(plain));
  EXPECT_TRUE(runtime.LoadedServers().empty());
}

TEST_F(ComRuntimeTest, RefusesWhatTheCallerGetsWrong) {
  ComRuntime runtime(device(), registry_);
  EXPECT_EQ(runtime.CoGetClassObject(CLSID_TestCounter, IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITestCounter, nullptr),
            E_POINTER);
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_LOCAL_SERVER,
                                     IID_ITestCounter, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  ComPtr<ITestCounter> outer = CreateCounter(runtime);
  ASSERT_TRUE(outer);
  object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, outer.Get(), CLSCTX_INPROC_SERVER,
                                     IID_ITestCounter, &object),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                     kIidNobodyHas, &object),
            E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ComRuntimeTest, AServersBadAnswersAreNotPassedOn) {
  Register(testing::CLSID_TestSloppy, kServerPath);
  Register(testing::CLSID_TestHollow, kServerPath);
  ComRuntime runtime(device(), registry_);
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(testing::CLSID_TestSloppy, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, &object),
            E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(runtime.CoGetClassObject(testing::CLSID_TestSloppy, IID_IClassFactory, &object),
            E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  object = kGarbage;
  EXPECT_EQ(runtime.CoGetClassObject(testing::CLSID_TestHollow, IID_IClassFactory, &object),
            E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_NE(runtime.LastError().find("without an object"), std::string::npos);
}

// --- unloading -----------------------------------------------------------------------------

TEST_F(ComRuntimeTest, FreeUnusedLibrariesUnloadsOnlyServersThatAgree) {
  ComRuntime runtime(device(), registry_);
  ComPtr<ITestCounter> counter = CreateCounter(runtime);
  ASSERT_TRUE(counter);
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 0u);
  EXPECT_TRUE(IsMapped(serverHost_));
  EXPECT_EQ(counter->Increment(), 1);
  counter.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 1u);
  EXPECT_FALSE(IsMapped(serverHost_));
  EXPECT_TRUE(runtime.LoadedServers().empty());
  // Activation maps it afresh.
  ComPtr<ITestCounter> fresh = CreateCounter(runtime);
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->Increment(), 1);
  EXPECT_TRUE(IsMapped(serverHost_));
}

TEST_F(ComRuntimeTest, ALockedServerStaysUntilTheLockIsBalanced) {
  ComRuntime runtime(device(), registry_);
  ComPtr<IClassFactory> factory = GetFactory(runtime);
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->LockServer(true), S_OK);
  EXPECT_EQ(factory->LockServer(true), S_OK);
  factory.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 0u);
  factory = GetFactory(runtime);
  EXPECT_EQ(factory->LockServer(false), S_OK);
  factory.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 0u);
  factory = GetFactory(runtime);
  EXPECT_EQ(factory->LockServer(false), S_OK);
  factory.Reset();
  EXPECT_EQ(runtime.CoFreeUnusedLibraries(), 1u);
  EXPECT_FALSE(IsMapped(serverHost_));
}

TEST_F(ComRuntimeTest, ObjectsThatOutliveTheRuntimeKeepTheirServerMapped) {
  ComPtr<ITestCounter> survivor;
  {
    ComRuntime runtime(device(), registry_);
    survivor = CreateCounter(runtime);
    ASSERT_TRUE(survivor);
  }
  EXPECT_TRUE(IsMapped(serverHost_));
  EXPECT_EQ(survivor->Increment(), 1);
  survivor.Reset();
}

TEST_F(ComRuntimeTest, TheRuntimeUnloadsIdleServersWhenItEnds) {
  {
    ComRuntime runtime(device(), registry_);
    ComPtr<ITestCounter> counter = CreateCounter(runtime);
    ASSERT_TRUE(counter);
  }
  EXPECT_FALSE(IsMapped(serverHost_));
}

// Activations on several threads while another keeps unloading: a server is never unmapped
// under an object or class factory that a thread still holds.
TEST_F(ComRuntimeTest, ActivationAndUnloadingMayRunOnSeveralThreads) {
  ComRuntime runtime(device(), registry_);
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  std::thread unloader([&] {
    while (!stop) runtime.CoFreeUnusedLibraries();
  });
  std::vector<std::thread> users;
  for (int t = 0; t < 4; ++t) {
    users.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        ComPtr<ITestCounter> counter;
        HRESULT hr = runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_ITestCounter, counter.PutVoid());
        if (hr != S_OK || counter->Increment() != 1 || counter->Increment() != 2) ++failures;
      }
    });
  }
  for (std::thread& user : users) user.join();
  stop = true;
  unloader.join();
  EXPECT_EQ(failures, 0);
  runtime.CoFreeUnusedLibraries();
  EXPECT_FALSE(IsMapped(serverHost_));
}

// --- classes the device provides -----------------------------------------------------------

// A factory of the device itself that counts its references and can be told to misbehave.
class DeviceFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references; }
  uint32_t Release() override { return --references; }
  HRESULT CreateInstance(IUnknown*, const IID& iid, void** object) override {
    ++created;
    if (succeedWithoutObject) return S_OK;
    return QueryInterface(iid, object);  // stands in for the object in these tests
  }
  HRESULT LockServer(bool) override { return S_OK; }

  uint32_t references = 1;
  int created = 0;
  bool succeedWithoutObject = false;
};

TEST_F(ComRuntimeTest, DeviceClassesComeBeforeTheRegistryUntilRevoked) {
  DeviceFactory provided;
  {
    ComRuntime runtime(device(), registry_);
    ASSERT_EQ(runtime.RegisterClassObject(CLSID_TestCounter, &provided), S_OK);
    EXPECT_EQ(provided.references, 2u);
    EXPECT_EQ(runtime.RegisterClassObject(CLSID_TestCounter, &provided), E_INVALIDARG);
    EXPECT_EQ(runtime.RegisterClassObject(kClsidElsewhere, nullptr), E_INVALIDARG);
    ComPtr<IUnknown> object;
    EXPECT_EQ(runtime.CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IUnknown, object.PutVoid()),
              S_OK);
    EXPECT_EQ(provided.created, 1);
    EXPECT_FALSE(IsMapped(serverHost_));
    object.Reset();

    EXPECT_EQ(runtime.RevokeClassObject(CLSID_TestCounter), S_OK);
    EXPECT_EQ(provided.references, 1u);
    EXPECT_EQ(runtime.RevokeClassObject(CLSID_TestCounter), E_INVALIDARG);
    ComPtr<ITestCounter> fromRegistry = CreateCounter(runtime);
    EXPECT_TRUE(fromRegistry);

    ASSERT_EQ(runtime.RegisterClassObject(kClsidElsewhere, &provided), S_OK);
  }
  EXPECT_EQ(provided.references, 1u);  // the runtime gave its reference back when it ended
}

TEST_F(ComRuntimeTest, SuccessWithoutAnObjectIsNotPassedOnAsSuccess) {
  DeviceFactory provided;
  provided.succeedWithoutObject = true;
  ComRuntime runtime(device(), registry_);
  ASSERT_EQ(runtime.RegisterClassObject(kClsidElsewhere, &provided), S_OK);
  void* object = kGarbage;
  EXPECT_EQ(runtime.CoCreateInstance(kClsidElsewhere, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IUnknown, &object),
            E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(provided.created, 1);
  EXPECT_EQ(provided.references, 2u);  // the factory used for it was released again
}

}  // namespace
}  // namespace brevalo

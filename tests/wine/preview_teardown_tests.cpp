// The teardown of the preview objects that UninitialDll runs, with stand-in
// objects in the library's slots.
#include <windows.h>
#include <strmif.h>
#include <control.h>

#include <string>
#include <vector>

#include "BoxWatcher.h"
#include "LibraryState.h"
#include "VantrelCtl.h"

#include <gtest/gtest.h>

namespace {

const IID kIidMediaControl = {0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};

std::vector<std::string> g_released;

// An object that records its last release by name.
class Recorded : public IUnknown {
public:
    explicit Recorded(const char* name) : name_(name) {}
    virtual ~Recorded() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--references_ == 0)
            g_released.push_back(name_);
        return references_;
    }
    ULONG references_ = 1;

private:
    const char* name_;
};

class FakeMediaControl : public IMediaControl {
public:
    HRESULT stopAnswer = S_OK;
    int stops = 0;
    ULONG references = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Run() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stop() override
    {
        ++stops;
        return stopAnswer;
    }
    HRESULT STDMETHODCALLTYPE GetState(LONG, OAFilterState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RenderFile(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE StopWhenReady() override { return E_NOTIMPL; }
};

// A graph that hands out its media control, or refuses to.
class FakeGraph : public Recorded {
public:
    FakeGraph(FakeMediaControl* control) : Recorded("graph"), control_(control) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (control_ && IsEqualIID(iid, kIidMediaControl)) {
            control_->AddRef();
            *out = control_;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    FakeMediaControl* control_;
};

struct TeardownCase {
    const char* name;
    bool graphHasControl;
    HRESULT stopAnswer;
    bool box;
};

void PrintTo(const TeardownCase& c, std::ostream* os) { *os << c.name; }

class PreviewTeardown : public ::testing::TestWithParam<TeardownCase> {};

TEST_P(PreviewTeardown, StopsThenReleasesTheFourObjectsInOrder)
{
    const TeardownCase& c = GetParam();
    g_released.clear();
    FakeMediaControl control;
    control.stopAnswer = c.stopAnswer;
    Recorded builder("builder"), capture("capture filter"), renderer("null renderer");
    FakeGraph graph(c.graphHasControl ? &control : nullptr);
    g_library.preview = {reinterpret_cast<ICaptureGraphBuilder*>(static_cast<IUnknown*>(&builder)),
                         reinterpret_cast<IBaseFilter*>(static_cast<IUnknown*>(&capture)),
                         reinterpret_cast<IGraphBuilder*>(static_cast<IUnknown*>(&graph)),
                         reinterpret_cast<IBaseFilter*>(static_cast<IUnknown*>(&renderer))};

    BoxWatcher watcher;
    CoInitialize(nullptr);
    EXPECT_EQ(1, UninitialDll(nullptr));

    EXPECT_EQ(c.graphHasControl ? 1 : 0, control.stops);
    EXPECT_EQ(0u, control.references) << "the media control is released";
    EXPECT_EQ((std::vector<std::string>{"builder", "capture filter", "graph", "null renderer"}), g_released);
    EXPECT_EQ(nullptr, g_library.preview.builder);
    EXPECT_EQ(nullptr, g_library.preview.captureFilter);
    EXPECT_EQ(nullptr, g_library.preview.graph);
    EXPECT_EQ(nullptr, g_library.preview.nullRenderer);
    if (c.box) {
        ASSERT_TRUE(watcher.WaitForBoxes(1, 5000));
        EXPECT_EQ("ERROR", watcher.Boxes()[0].caption);
        EXPECT_EQ("Cannot stop preview graph !", watcher.Boxes()[0].text);
    }
    ASSERT_TRUE(watcher.WaitForNoOpenBox(10000));
    EXPECT_EQ(c.box ? 1u : 0u, watcher.Boxes().size());
}

INSTANTIATE_TEST_SUITE_P(Cases, PreviewTeardown,
                         ::testing::Values(TeardownCase{"StopSucceeds", true, S_OK, false},
                                           TeardownCase{"StopStillChanging", true, S_FALSE, false},
                                           TeardownCase{"StopFails", true, E_FAIL, true},
                                           TeardownCase{"NoMediaControl", false, S_OK, true}),
                         [](const ::testing::TestParamInfo<TeardownCase>& info) { return std::string(info.param.name); });

TEST(PreviewTeardownEmpty, NoPreviewObjectsMeansNoStopAndNoBox)
{
    BoxWatcher watcher;
    CoInitialize(nullptr);
    EXPECT_EQ(1, UninitialDll(nullptr));  // a box would block until the watcher dismissed it
    EXPECT_TRUE(watcher.Boxes().empty());
}

}  // namespace

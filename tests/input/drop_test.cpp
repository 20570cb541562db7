// OLE drops through the drop target the control hands its container: files and text dragged over
// and dropped, read back through the data object the events carry.
#include <ole2.h>
#include <oleidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/automation_handles.h"
#include "excep_info.h"
#include "input_fixture.h"
#include "test_data_object.h"

namespace cardel::host {
namespace {

using ids = std::vector<DISPID>;
constexpr DISPID kOver = event_id::OLEDragOver;
constexpr DISPID kDrop = event_id::OLEDragDrop;
constexpr HRESULT kReadOnly = static_cast<HRESULT>(0x800A02A0);
constexpr HRESULT kNotOffered = static_cast<HRESULT>(0x800A01CD);
constexpr HRESULT kSubscript = static_cast<HRESULT>(0x800A0009);
const std::wstring kFile = L"C:\\drops\\picture one.png";

ComPtr<DataObject> DataOf(const VARIANT& arg) {
  const VARIANT* v = &arg;
  IDispatch* dispatch = (V_VT(v) & VT_BYREF) ? *V_DISPATCHREF(v) : V_DISPATCH(v);
  ComPtr<DataObject> data;
  if (dispatch) dispatch->QueryInterface(IID_PPV_ARGS(&data));
  return data;
}

std::vector<std::wstring> FilesOf(DataObject* data) {
  std::vector<std::wstring> names;
  ComPtr<DataObjectFiles> files;
  if (FAILED(data->get_Files(&files))) return names;
  LONG count = 0;
  files->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    UniqueBstr name;
    files->get_Item(i, name.put());
    names.emplace_back(name ? name.get() : L"");
  }
  return names;
}

class DropTest : public InputFixture {
 protected:
  ComPtr<IDropTarget> Target(HRESULT expected = S_OK) {
    ComPtr<IOleInPlaceObjectWindowless> windowless = control_->Query<IOleInPlaceObjectWindowless>();
    ComPtr<IDropTarget> target;
    EXPECT_EQ(windowless->GetDropTarget(&target), expected);
    return target;
  }
  POINTL At(POINT client) const {
    const POINT screen = ToScreen(client);
    return POINTL{screen.x, screen.y};
  }
  void ManualDrops() { ASSERT_HRESULT_SUCCEEDED(cardel_->put_OLEDropMode(static_cast<eOLEDropMode>(1))); }
  // Drops source on the control in manual mode: the data object the drop event handed the application.
  ComPtr<DataObject> Dropped(TestDataObject& source) {
    ManualDrops();
    ComPtr<DataObject> data;
    events_.SetHandler([&](DISPID id, DISPPARAMS* params) {
      if (id == kDrop) data = DataOf(EventArg(*params, 0));
    });
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target()->Drop(&source, 0, At(kInside), &effect), S_OK);
    events_.SetHandler({});
    return data;
  }
};

TEST_F(DropTest, TargetOnlyWhileDropModeIsManual) {
  EXPECT_FALSE(Target(E_NOTIMPL));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_OLEDropMode(static_cast<eOLEDropMode>(2)));
  EXPECT_FALSE(Target(E_NOTIMPL));
  ManualDrops();
  EXPECT_TRUE(Target());
}

TEST_F(DropTest, FileDraggedOverAndDroppedIsReadable) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  ASSERT_TRUE(target);
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferFiles({kFile});
  std::vector<std::vector<std::wstring>> seen;
  events_.SetHandler([&](DISPID id, DISPPARAMS* params) {
    if (id != kOver && id != kDrop) return;
    seen.push_back(FilesOf(DataOf(EventArg(*params, 0)).Get()));
    *V_I4REF(&EventArg(*params, 1)) = DROPEFFECT_COPY;
  });

  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragEnter(source.Get(), MK_LBUTTON | MK_SHIFT, At({kRect.left + 10, kRect.top + 20}), &effect),
            S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->DragOver(MK_LBUTTON, At({kRect.left + 12, kRect.top + 21}), &effect), S_OK);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(source.Get(), MK_CONTROL, At({kRect.left + 12, kRect.top + 21}), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));

  ASSERT_EQ(Only({kOver, kDrop}), (ids{kOver, kOver, kDrop}));
  EXPECT_EQ(seen, (std::vector<std::vector<std::wstring>>(3, {kFile})));
  const auto overs = All(kOver);
  const EventRecord& enter = *overs[0];
  ASSERT_EQ(enter.args.size(), 7u);
  EXPECT_EQ(enter.args[1].ToLong(), DROPEFFECT_COPY | DROPEFFECT_MOVE);
  EXPECT_EQ(enter.args[2].ToLong(), 1);
  EXPECT_EQ(enter.args[3].ToLong(), 1);
  EXPECT_EQ(enter.args[4].ToDouble(), 10.0);
  EXPECT_EQ(enter.args[5].ToDouble(), 20.0);
  EXPECT_EQ(enter.args[6].ToLong(), 0);
  EXPECT_EQ(overs[1]->args[6].ToLong(), 2);
  // One drag shows the application one data object.
  EXPECT_EQ(V_DISPATCH(enter.args[0].operator->()), V_DISPATCH(overs[1]->args[0].operator->()));
  const EventRecord& drop = *All(kDrop)[0];
  ASSERT_EQ(drop.args.size(), 6u);
  EXPECT_EQ(drop.args[3].ToLong(), 2);
  EXPECT_EQ(drop.args[4].ToDouble(), 12.0);
  // The object an application kept stays readable after the drop.
  ComPtr<DataObject> kept = DataOf(*drop.args[0]);
  ASSERT_TRUE(kept);
  EXPECT_EQ(FilesOf(kept.Get()), (std::vector<std::wstring>{kFile}));
}

TEST_F(DropTest, DataObjectReportsFormatsAndGivesTextAndFiles) {
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferUnicodeText(L"h\u00e9llo");
  source->OfferFiles({kFile, L"D:\\b.txt"});
  const ComPtr<DataObject> data = Dropped(*source.Get());
  ASSERT_TRUE(data);

  VARIANT_BOOL offered = 0;
  EXPECT_EQ(data->GetFormat(1, &offered), S_OK);
  EXPECT_EQ(offered, VARIANT_TRUE);
  EXPECT_EQ(data->GetFormat(15, &offered), S_OK);
  EXPECT_EQ(offered, VARIANT_TRUE);
  EXPECT_EQ(data->GetFormat(2, &offered), S_OK);
  EXPECT_EQ(offered, VARIANT_FALSE);

  Variant value;
  ASSERT_EQ(data->GetData(1, value.put()), S_OK);
  ASSERT_EQ(value.vt(), VT_BSTR);
  EXPECT_EQ(std::wstring(value->bstrVal), L"h\u00e9llo");
  ASSERT_EQ(data->GetData(15, value.put()), S_OK);
  ASSERT_EQ(value.vt(), VT_ARRAY | VT_BSTR);
  EXPECT_EQ(value->parray->rgsabound[0].cElements, 2u);
  EXPECT_EQ(std::wstring(static_cast<BSTR*>(value->parray->pvData)[1]), L"D:\\b.txt");
  EXPECT_EQ(data->GetData(2, value.put()), kNotOffered);
  EXPECT_EQ(value.vt(), VT_EMPTY);
  EXPECT_EQ(FilesOf(data.Get()), (std::vector<std::wstring>{kFile, L"D:\\b.txt"}));
}

// Scripts reach the data object late-bound: its VARIANT result must come back whole.
TEST_F(DropTest, ScriptsReadTheDataThroughIDispatch) {
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferUnicodeText(L"h\u00e9llo");
  const ComPtr<DataObject> data = Dropped(*source.Get());
  ASSERT_TRUE(data);
  for (const WORD flags : {WORD{DISPATCH_METHOD}, WORD{DISPATCH_METHOD | DISPATCH_PROPERTYGET}}) {
    VARIANTARG format;
    V_VT(&format) = VT_I2;
    V_I2(&format) = 1;
    DISPPARAMS params{&format, nullptr, 1, 0};
    Variant text;
    ASSERT_EQ(data->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, text.put(), nullptr, nullptr), S_OK);
    ASSERT_EQ(text.vt(), VT_BSTR);
    EXPECT_EQ(std::wstring(text->bstrVal), L"h\u00e9llo");
  }
}

TEST_F(DropTest, AnsiTextIsReadAsText) {
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferAnsiText("plain words");
  const ComPtr<DataObject> data = Dropped(*source.Get());
  ASSERT_TRUE(data);
  Variant value;
  ASSERT_EQ(data->GetData(1, value.put()), S_OK);
  EXPECT_EQ(std::wstring(value->bstrVal), L"plain words");
  VARIANT_BOOL offered = 0;
  data->GetFormat(13, &offered);
  EXPECT_EQ(offered, VARIANT_TRUE);
  EXPECT_TRUE(FilesOf(data.Get()).empty());
}

TEST_F(DropTest, DroppedDataCannotBeChanged) {
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferUnicodeText(L"x");
  const ComPtr<DataObject> data = Dropped(*source.Get());
  ASSERT_TRUE(data);
  EXPECT_EQ(data->Clear(), kReadOnly);
  VARIANT none;
  VariantInit(&none);
  EXPECT_EQ(data->SetData(none, none), kReadOnly);

  // Late-bound, as a script would call it: the refusal arrives with its description.
  DISPPARAMS noArgs{};
  ExcepInfo exception;
  EXPECT_EQ(data->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &noArgs, nullptr, &exception, nullptr), DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, kReadOnly);
  ASSERT_TRUE(exception.bstrDescription);
  EXPECT_NE(std::wstring(exception.bstrDescription).find(L"cannot be changed"), std::wstring::npos);
  Variant value;
  ASSERT_EQ(data->GetData(1, value.put()), S_OK);
  EXPECT_EQ(std::wstring(value->bstrVal), L"x");
}

TEST_F(DropTest, FilesCollectionIndexesFromOneAndEnumerates) {
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferFiles({L"C:\\1", L"C:\\2"});
  const ComPtr<DataObject> data = Dropped(*source.Get());
  ASSERT_TRUE(data);
  ComPtr<DataObjectFiles> files;
  ASSERT_EQ(data->get_Files(&files), S_OK);
  BSTR name = nullptr;
  EXPECT_EQ(files->get_Item(0, &name), kSubscript);
  EXPECT_EQ(files->get_Item(3, &name), kSubscript);
  EXPECT_EQ(name, nullptr);
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(files->get__NewEnum(&unknown), S_OK);
  ComPtr<IEnumVARIANT> items;
  ASSERT_HRESULT_SUCCEEDED(unknown.As(&items));
  VARIANT got[3];
  ULONG fetched = 0;
  EXPECT_EQ(items->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  Variant first, second;
  *first.put() = got[0];
  *second.put() = got[1];
  EXPECT_EQ(std::wstring(first->bstrVal), L"C:\\1");
  EXPECT_EQ(std::wstring(second->bstrVal), L"C:\\2");
}

TEST_F(DropTest, LeavingRaisesDragOverWithTheLeaveState) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferFiles({kFile});
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(source.Get(), MK_LBUTTON, At(kInside), &effect);
  ASSERT_EQ(target->DragLeave(), S_OK);
  ASSERT_EQ(Only({kOver, kDrop}), (ids{kOver, kOver}));
  EXPECT_EQ(All(kOver)[1]->args[6].ToLong(), 1);
  EXPECT_EQ(All(kOver)[1]->args[4].ToDouble(), double(kInside.x - kRect.left));
}

TEST_F(DropTest, DisabledControlOrChangedModeRefusesTheDrag) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferFiles({kFile});
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_FALSE));
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(source.Get(), MK_LBUTTON, At(kInside), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_TRUE));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_OLEDropMode(static_cast<eOLEDropMode>(0)));
  effect = DROPEFFECT_COPY;
  target->Drop(source.Get(), 0, At(kInside), &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_TRUE(Only({kOver, kDrop}).empty());
}

TEST_F(DropTest, TargetKeptPastTheControlReachesNothing) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  events_.Disconnect();
  changes_.Disconnect();
  cardel_.Reset();
  box_.Remove(*control_);
  control_ = nullptr;
  ComPtr<TestDataObject> source = TestDataObject::Make();
  source->OfferFiles({kFile});
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragEnter(source.Get(), MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(target->Drop(source.Get(), 0, POINTL{0, 0}, &effect), S_OK);
}

TEST_F(DropTest, NullArgumentsFromAHostAreRefused) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{0, 0}, nullptr), E_INVALIDARG);
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->DragOver(0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(target->Drop(nullptr, 0, POINTL{0, 0}, &effect), S_OK);
  EXPECT_EQ(Only({kOver, kDrop}), (ids{kOver, kDrop}));
}

class WindowedDropTest : public DropTest {
 protected:
  WindowedDropTest() { options_.windowless = false; }
};

// Nobody asks a windowed control for its target, so its own window carries it.
TEST_F(WindowedDropTest, OwnWindowIsRegisteredAsADropTarget) {
  ManualDrops();
  ComPtr<IDropTarget> target = Target();
  ASSERT_TRUE(target);
  ASSERT_TRUE(control_->OwnWindow());
  EXPECT_EQ(RegisterDragDrop(control_->OwnWindow(), target.Get()), DRAGDROP_E_ALREADYREGISTERED);
}

}  // namespace
}  // namespace cardel::host

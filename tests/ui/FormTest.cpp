// The life of every window: made in two steps, and its create and destroy
// handlers run exactly once each, whoever shows it.

#include <gtest/gtest.h>

#include "tests/ui/ControlId.h"
#include "ui/AbBox.h"
#include "ui/DirSel.h"
#include "ui/Unit1.h"

namespace quillet::test {
namespace {

// The window under test with its handlers counted.
template <class Base>
class Counted : public Base {
 public:
  int creates = 0, destroys = 0;
  bool controlsAtDestroy = false;

 protected:
  void FormCreate() override {
    ++creates;
    Base::FormCreate();
  }
  void FormDestroy() override {
    ++destroys;
    // The handler may still use its controls.
    controlsAtDestroy = GetWindow(this->Handle(), GW_CHILD) != nullptr;
    Base::FormDestroy();
  }
};

template <class T>
class FormLife : public testing::Test {};
using Windows = testing::Types<ui::TForm1, ui::TAboutBox, ui::TDirSelect>;
TYPED_TEST_SUITE(FormLife, Windows);

TYPED_TEST(FormLife, HandlersRunOnceEachWhileTheObjectIsWhole) {
  Counted<TypeParam> form;
  EXPECT_EQ(form.creates, 0) << "constructing makes no window";
  HWND hwnd = nullptr;
  {
    const ui::OwnedWindow window = form.Create();
    hwnd = form.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(form.creates, 1);
    EXPECT_FALSE(form.Create()) << "a second Create makes nothing";
    EXPECT_EQ(form.creates, 1);
    EXPECT_EQ(form.destroys, 0);
  }
  EXPECT_EQ(form.destroys, 1);
  EXPECT_TRUE(form.controlsAtDestroy);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(form.Handle(), nullptr);
}

// Kept beyond the object by mistake, the holder must not reach into a
// half-destroyed object: the window goes with the object, quietly.
TYPED_TEST(FormLife, HolderOutlivingTheObjectLeavesNoWindow) {
  ui::OwnedWindow window;
  HWND hwnd = nullptr;
  {
    TypeParam form;
    window = form.Create();
    hwnd = form.Handle();
    ASSERT_TRUE(IsWindow(hwnd));
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

// Every control of a table gets its own ID, and the IDs find the fields; a
// row that only adds a notification makes no window.
template <class F>
void ExpectIdsFindTheFields() {
  F form;
  const ui::OwnedWindow window = form.Create();
  int made = 0;
  for (const auto& c : F::Controls()) {
    const int id = IdOf<F>(c.Field);
    EXPECT_EQ(GetDlgItem(form.Handle(), id), (form.*c.Field).Handle()) << c.ClassName << " " << c.Text;
    if (c.ClassName && !c.Parent) ++made;
  }
  int children = 0;
  for (HWND w = GetWindow(form.Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, made);
  EXPECT_EQ(IdOf<F>(nullptr), 0);
}

TEST(FormTable, IdsFindTheFields) {
  ExpectIdsFindTheFields<ui::TForm1>();
  ExpectIdsFindTheFields<ui::TDirSelect>();
}

}  // namespace
}  // namespace quillet::test

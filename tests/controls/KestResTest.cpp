#include "skin/KestRes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinFixture.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "skin/ImageEffect.h"

namespace controls_test {
namespace {

using skin::TAlphaImageRegion;

class KestRes : public SkinFixture {
 protected:
  void SetUp() override { pack.AddBitmap("mix.bmp", platform::TBitmap(369, 516)); }
};

TEST_F(KestRes, ColoursByNameHexAndFallbacks) {
  Load(R"(<SKIN><COLOR id="Black" RGB="#FFFFFF"/><COLOR id="Mine" RGB="#102030"/></SKIN>)");
  skin::TSkinResManager& res = Resources();
  EXPECT_EQ(res.GetColor("Silver"), 0x00C0C0C0u);
  EXPECT_EQ(res.GetColor("silver"), 0x00C0C0C0u);
  EXPECT_EQ(res.GetColor("#FF0000"), 0x000000FFu);
  EXPECT_EQ(res.GetColor("#QQQQQQ"), 0x000000FFu);
  EXPECT_EQ(res.GetColor("NoSuchColour"), 0u);
  // The standard colours come first: a skin cannot redefine them.
  EXPECT_EQ(res.GetColor("Black"), 0u);
  EXPECT_EQ(res.GetColor("Mine"), 0x00302010u);
}

TEST_F(KestRes, ImageIdsFallBackToTheWholeBitmap) {
  Load(
      R"(<SKIN><IMAGE id="Main" file="mix.bmp"><AREA id="RB" pos="332,167" size="14,15" repeat="1,4"/></IMAGE></SKIN>)");
  skin::TImagePack* whole = Resources().GetImage("Main");
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->Count(), 1);
  EXPECT_EQ(whole->Item(0).GetWidth(), 369);
  EXPECT_EQ(Resources().GetImage("Main.NoSuchArea"), whole);
  EXPECT_EQ(Resources().GetImage("main.rb")->Count(), 4);
  EXPECT_EQ(Resources().GetImage("Nothing.RB"), nullptr);
}

// Ids and area names resolve to the first of their kind in document order,
// ignoring case; kinds sharing an id do not mix.
TEST_F(KestRes, LookupsTakeTheFirstOfAnIdIgnoringCase) {
  Load(
      R"(<SKIN><IMAGE id="Dup" file="mix.bmp"><AREA id="A" size="1,1"/><AREA id="a" size="2,2"/></IMAGE>
            <IMAGE id="DUP" file="mix.bmp"/><COLOR id="dup" RGB="#010203"/><COLOR id="Dup"/>
            <FONT id="DUP" type="System" size="9"/></SKIN>)");
  ASSERT_NE(Resources().GetImage("dUP.a"), nullptr);
  EXPECT_EQ(Resources().GetImage("dUP.a")->GetWidth(), 1);
  EXPECT_EQ(Resources().GetColor("DUP"), 0x00030201u);
  EXPECT_EQ(Resources().Find<skin::TSkinResFont>("dup")->Font.Size, 9);
  EXPECT_EQ(Resources().Find<skin::TSkinResMenu>("Dup"), nullptr);
}

TEST_F(KestRes, GridCellsAreLaidOutRowByRowWithAOnePixelGap) {
  Load(R"(<SKIN><IMAGE id="Chess" file="mix.bmp">
            <AREA id="Figures" pos="216,300" size="27,27" repeat="4,6"/>
            <AREA id="None" repeat="0,3"/>
            <AREA id="Huge" repeat="100000,100000"/></IMAGE></SKIN>)");
  skin::TImagePack* figures = Resources().GetImage("Chess.Figures");
  ASSERT_NE(figures, nullptr);
  ASSERT_EQ(figures->Count(), 24);
  const auto* cell5 = dynamic_cast<const TAlphaImageRegion*>(&figures->Item(5));
  ASSERT_NE(cell5, nullptr);
  EXPECT_EQ(cell5->GetRect(), (platform::TRect{244, 328, 271, 355}));
  const auto* last = dynamic_cast<const TAlphaImageRegion*>(&figures->Item(23));
  EXPECT_EQ(last->GetRect().Left, 216 + 3 * 28);
  EXPECT_EQ(last->GetRect().Top, 300 + 5 * 28);
  EXPECT_EQ(Resources().GetImage("Chess.None")->Count(), 0);
  // A grid that would describe ten billion cells describes none.
  EXPECT_EQ(Resources().GetImage("Chess.Huge")->Count(), 0);
}

TEST_F(KestRes, OneFileIsReadOnceAndEffectsNestMaskInsideResize) {
  Load(R"(<SKIN><IMAGE id="A" file="mix.bmp"/>
            <IMAGE id="B" file="MIX.BMP"><AREA id="T" size="21,30" mask="Color,Fuchsia" resize="Split" center="11,4"/>
              <AREA id="D" size="21,30" resize="split"/></IMAGE></SKIN>)");
  EXPECT_EQ(pack.Opened, 2);  // interface.xml and the bitmap, once
  const auto* split =
      dynamic_cast<const skin::TCenterSplitImage*>(&Resources().GetImage("B.T")->Item(0));
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->CenterX, 11);
  EXPECT_EQ(split->CenterY, 4);
  const auto* masked = dynamic_cast<const skin::TAlphedImage*>(&split->GetInner());
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(masked->GetMaskColor(), platform::RGB(255, 0, 255));
  const auto* plain =
      dynamic_cast<const skin::TCenterSplitImage*>(&Resources().GetImage("B.D")->Item(0));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->CenterX, 10);  // half the cell by default
  EXPECT_EQ(plain->CenterY, 15);
}

TEST_F(KestRes, AnImageThatIsNoBitmapGivesNoPack) {
  pack.Add("broken.bmp", "BM but not really");
  Load(
      R"(<SKIN><IMAGE id="X" file="broken.bmp"/><IMAGE id="Y" file="missing.bmp"/><COLOR id="After" RGB="#000001"/></SKIN>)");
  EXPECT_EQ(Resources().GetImage("X"), nullptr);
  // A missing file leaves an empty bitmap, not a failure.
  ASSERT_NE(Resources().GetImage("Y"), nullptr);
  EXPECT_EQ(Resources().GetImage("Y")->Item(0).GetWidth(), 0);
  EXPECT_EQ(Resources().GetColor("After"), 0x00010000u);
}

TEST_F(KestRes, MenusHaveSeparatorsSubmenusCaptionsAndKeys) {
  languages.AddEntry("Application.Exit=Exit");
  const std::string text = "<Main>\r\nEsc ~ Application.Exit\r\n";
  platform::TMemoryStream bindings(text.data(), text.size());
  keys.LoadFromStream(&bindings);
  Load(R"(<SKIN><MENU id="Micro"><ITEM link="Application.Exit"/><ITEM/>
            <ITEM link="Sub"><ITEM link="Inner"/></ITEM></MENU></SKIN>)");
  auto* menu = Resources().Find<skin::TSkinResMenu>("micro");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->Menu->Items().size(), 3u);
  EXPECT_EQ(menu->Menu->Items()[2]->Items().size(), 1u);
  ASSERT_EQ(menu->Items.size(), 4u);
  menu->OnPopup();
  EXPECT_EQ(menu->Items[0]->Item->Caption, "Exit");
  EXPECT_EQ(menu->Items[0]->KeyText, "Esc");
  EXPECT_EQ(menu->Items[1]->Item->Caption, "-");
  EXPECT_TRUE(menu->Items[1]->Item->Separator);

  platform::TBitmap surface(200, 40);
  platform::TCanvas canvas(surface);
  int width = 0;
  int height = 0;
  menu->MeasureItem(*menu->Items[1], canvas, width, height);
  EXPECT_EQ(height, 3);
  menu->MeasureItem(*menu->Items[0], canvas, width, height);
  EXPECT_EQ(width, canvas.TextWidth("Exit") + canvas.TextWidth("Esc") + 32);
  EXPECT_EQ(height, canvas.TextHeight("ExitEsc") + 7);

  int exits = 0;
  struct TCounter {
    int* Count;
    void Run(app::TEntityHolder&) { ++*Count; }
  } counter{&exits};
  app::TBasicEntity exit(0, 0, 0, app::MakeCallback<&TCounter::Run>(&counter));
  entities.RegisterEntity("Application.Exit", &exit);
  menu->ClickItem(*menu->Items[0]);
  menu->ClickItem(*menu->Items[1]);
  EXPECT_EQ(exits, 1);
  entities.UnregisterEntity("Application.Exit");
}

TEST_F(KestRes, MacrosRunTheirCommandsInOrderSkippingGaps) {
  Load(R"(<SKIN><MACROS id="M" do1="First" do3="Third" do10="Never"/></SKIN>)");
  auto* macros = Resources().Find<skin::TSkinResMacros>("M");
  ASSERT_NE(macros, nullptr);
  EXPECT_EQ(macros->Commands, (std::vector<std::string>{"First", "Third"}));
  TCommandRecorder recorder;
  app::TBasicEntity first(0, 0, 0, recorder.Callback());
  app::TBasicEntity third(0, 0, 0, recorder.Callback());
  entities.RegisterEntity("First", &first);
  entities.RegisterEntity("Third", &third);
  macros->Run();
  EXPECT_EQ(recorder.Ran, (std::vector<std::string>{"First", "Third"}));
  entities.UnregisterEntity("First");
  entities.UnregisterEntity("Third");
}

TEST_F(KestRes, FontsSystemAndPattern) {
  Load(R"(<SKIN><FONT id="Sys" type="system" family="DejaVu Sans" style="bold"/>
            <FONT id="Sized" type="System" size="10"/>
            <FONT id="Pattern" symbols="ab" pattern="Nothing"/></SKIN>)");
  auto* sys = Resources().Find<skin::TSkinResFont>("Sys");
  ASSERT_NE(sys, nullptr);
  EXPECT_TRUE(sys->IsSystem);
  EXPECT_EQ(sys->Font.Size, 8);
  EXPECT_TRUE(sys->Font.Bold);
  EXPECT_EQ(Resources().Find<skin::TSkinResFont>("Sized")->Font.Size, 10);
  auto* pattern = Resources().Find<skin::TSkinResFont>("Pattern");
  EXPECT_FALSE(pattern->IsSystem);
  EXPECT_EQ(pattern->Glyphs, nullptr);
  platform::TBitmap surface(20, 20);
  platform::TCanvas canvas(surface);
  // Without glyphs a pattern font draws nothing, so it measures nothing.
  EXPECT_EQ(pattern->TextWidth(canvas, "anything"), 0);
}

}  // namespace
}  // namespace controls_test

// The SIM browser: the categorised menu, the picture of the chosen device, the arrows.
#include "editor/SimBrowser.h"
#include "editor/artwork/Artwork.h"
#include "params/DeviceCategories.h"
#include "params/DeviceTable.h"
#include "tests/editor/EditorTestSupport.h"

#include <map>

using namespace editor_test;

namespace
{
bool samePixels(const juce::Image& a, const juce::Image& b)
{
    if (a.getWidth() != b.getWidth() || a.getHeight() != b.getHeight())
        return false;
    for (int y = 0; y < a.getHeight(); y += 7)
        for (int x = 0; x < a.getWidth(); x += 5)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return false;
    return true;
}
} // namespace

TEST_F(OpenEditor, MenuHolds164DevicesUnderThirteenHeadingsInOrder)
{
    auto* menu = control<juce::ComboBox>("SIMType.menu");
    ASSERT_EQ(menu->getNumItems(), 164);
    EXPECT_EQ(menu->getItemText(0), "Awesome Cell Phone");
    EXPECT_EQ(menu->getItemId(0), 120);
    EXPECT_EQ(menu->getItemText(94), "Vintage Box Speaker");
    EXPECT_EQ(menu->getItemId(94), 1);
    EXPECT_EQ(menu->getItemText(163), "Vacuum Cleaner Tube 2");
    EXPECT_EQ(menu->getItemId(163), 11);

    // Walk the menu as the pop-up shows it: headings, each followed by its devices.
    const std::vector<std::string> names = plugin->getParameterValueList(ParamId::SIMType);
    std::vector<std::string> headings;
    int position = 0;
    for (juce::PopupMenu::MenuItemIterator it(*menu->getRootMenu()); it.next();)
    {
        const juce::PopupMenu::Item& item = it.getItem();
        EXPECT_FALSE(item.isSeparator);
        if (item.isSectionHeader)
        {
            headings.push_back(item.text.toStdString());
            continue;
        }
        const DeviceCategory& category = g_deviceCategories[headings.size() - 1];
        EXPECT_EQ(deviceCategoryOf(item.itemID - 1), static_cast<int>(headings.size() - 1)) << item.text;
        EXPECT_EQ(item.text.toStdString(), names[static_cast<std::size_t>(item.itemID - 1)]);
        (void)category;
        ++position;
    }
    EXPECT_EQ(position, 164);
    const std::vector<std::string> expected = {"Cell Phones", "Containers", "Earbuds", "Headphones", "Radios",
                                               "Small Electronics", "Speakers", "Telephones", "Televisions", "Toys",
                                               "Vehicles", "Wireless", "Other"};
    EXPECT_EQ(headings, expected);
}

TEST_F(OpenEditor, EveryDeviceShowsItsRowsNameUnderItsRowsCategoryWithItsOwnPicture)
{
    auto* menu = control<juce::ComboBox>("SIMType.menu");
    auto* picture = control<juce::ImageComponent>("SIMType.picture");
    const juce::Image strip = Artwork::decodeNamed("SIM_Strip_r1_png");
    const int frame = SimBrowser::frameWidth(strip);

    std::map<int, std::string> headingOfItem; // item id -> the heading it sits under
    std::string heading;
    for (juce::PopupMenu::MenuItemIterator it(*menu->getRootMenu()); it.next();)
    {
        const juce::PopupMenu::Item& item = it.getItem();
        if (item.isSectionHeader)
            heading = item.text.toStdString();
        else
            headingOfItem[item.itemID] = heading;
    }
    ASSERT_EQ(headingOfItem.size(), kDeviceCount);

    for (int k = 0; k < static_cast<int>(kDeviceCount); ++k)
    {
        const DeviceRow& row = kDeviceRows[k];
        SCOPED_TRACE(std::to_string(k) + " " + row.name);
        properties.set("SIMType", k);
        EXPECT_EQ(menu->getSelectedId(), k + 1);
        EXPECT_EQ(menu->getText().toStdString(), row.name);
        EXPECT_EQ(headingOfItem[k + 1], row.category);
        EXPECT_TRUE(samePixels(picture->getImage(), strip.getClippedImage({k * frame, 0, frame, strip.getHeight()})));
    }
}

TEST_F(OpenEditor, ChoosingADeviceWritesItsValueAndShowsItsPicture)
{
    auto* menu = control<juce::ComboBox>("SIMType.menu");
    auto* picture = control<juce::ImageComponent>("SIMType.picture");
    const juce::Image strip = Artwork::decodeNamed("SIM_Strip_r1_png");
    ASSERT_EQ(SimBrowser::frameWidth(strip), 137);
    EXPECT_TRUE(samePixels(picture->getImage(), strip.getClippedImage({0, 0, 137, 96}))) << "device 0 at start";

    menu->setSelectedItemIndex(0, juce::sendNotificationSync); // "Awesome Cell Phone"
    EXPECT_EQ(value("SIMType"), 119);
    EXPECT_EQ(menu->getText(), "Awesome Cell Phone");
    EXPECT_TRUE(samePixels(picture->getImage(), strip.getClippedImage({119 * 137, 0, 137, 96})));

    properties.set("SIMEnable", 0);
    EXPECT_TRUE(samePixels(picture->getImage(), strip.getClippedImage({119 * 137, 0, 137, 96})))
        << "the picture does not depend on the switch";
}

TEST_F(OpenEditor, ArrowsStepInNameOrderAndStopAtTheEnds)
{
    auto* next = control<juce::Button>("SIMType.next");
    auto* previous = control<juce::Button>("SIMType.previous");
    auto* menu = control<juce::ComboBox>("SIMType.menu");
    properties.set("SIMType", 73);
    EXPECT_EQ(menu->getText(), "Studio Subwoofer");
    click(*next);
    EXPECT_EQ(value("SIMType"), 74);
    EXPECT_EQ(menu->getText(), "Surround Speakers") << "the next name, not the next menu item";
    properties.set("SIMType", 163);
    click(*next);
    EXPECT_EQ(value("SIMType"), 163);
    properties.set("SIMType", 0);
    click(*previous);
    EXPECT_EQ(value("SIMType"), 0);
    click(*previous);
    EXPECT_EQ(value("SIMType"), 0);
}

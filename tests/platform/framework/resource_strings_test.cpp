#include <gtest/gtest.h>

#include "platform/framework/resource_strings.h"
#include "shell/resources/resource_ids.h"

using kavelo::platform::framework::CommandPrompt;
using kavelo::platform::framework::DocumentStringField;
using kavelo::platform::framework::LoadString;

namespace {

TEST(ResourceStrings, FieldsPromptsAndWholeEntries) {
    const char* const fields[] = {"Kavelo", "", "Kavelo", "", "", "Kavelo.Scene.1", "3D Scene"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(DocumentStringField(i), fields[i]) << i;
    }
    EXPECT_EQ(DocumentStringField(7), "");
    EXPECT_EQ(DocumentStringField(-1), "");

    EXPECT_EQ(CommandPrompt(ID_APP_EXIT), "Quit the application; prompts to save documents");
    EXPECT_EQ(LoadString(ID_APP_EXIT), "Quit the application; prompts to save documents\nExit");
    EXPECT_EQ(CommandPrompt(ID_APP_ABOUT),
              "Display program information, version number and copyright");
    EXPECT_EQ(LoadString(ID_APP_ABOUT).substr(CommandPrompt(ID_APP_ABOUT).size()), "\nAbout");
    EXPECT_EQ(LoadString(ID_VIEW_STATUS_BAR), "Show or hide the status bar\nToggle StatusBar");
    EXPECT_EQ(CommandPrompt(ID_FILE_RESTART), "");  // the message pane goes empty
    EXPECT_EQ(LoadString(ID_FILE_RESTART), "");
    EXPECT_EQ(CommandPrompt(AFX_IDS_IDLEMESSAGE), "Ready");
    EXPECT_EQ(LoadString(AFX_IDS_APP_TITLE), "Kavelo");
    EXPECT_EQ(CommandPrompt(AFX_IDS_SCCLOSE),
              "Close the active window and prompts to save the documents");
    EXPECT_EQ(CommandPrompt(AFX_IDS_SCRESTORE), "Restore the window to normal size");
}

}  // namespace

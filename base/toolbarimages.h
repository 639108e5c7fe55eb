#pragma once
// The pictures of the toolbar and the menus, by their number in the image list. The
// word-wrap button shows image 10 while wrapping is on and image 49 while it is off.

#include <QIcon>

enum ToolbarImage
{
    kImageNew = 0,
    kImageOpen = 1,
    kImageSave = 2,
    kImagePrint = 3,
    kImageCut = 4,
    kImageCopy = 5,
    kImagePaste = 6,
    kImageUndo = 7,
    kImageDelete = 8,
    kImageFind = 9,
    kImageWrapOn = 10,
    kImageSelectAll = 11,
    kImageUpper = 12,
    kImageLower = 13,
    kImageBrowser = 14,
    kImageExecute = 15,
    kImageFtp = 16,
    kImageProposals = 17,
    kImageHelp = 18,
    kImageAbout = 19,
    kImageQuit = 20,
    kImageWrapOff = 49,
};

QIcon toolbarImage(int image);

// The FILE menu: ITEM SELECT, WRITE, READ, FILE OPERATION, DRIVE, FILE SORT, COPY and DELETE
// over the file list of the current folder.
#pragma once

#include <string>

namespace vq {

constexpr int kFileListRows = 24;  // entries shown at once

// Whether the file list covers the graph area now.
bool FileListShown();
// Rebuilds the shown list from the current drive, folder, item and mode; keeps the cursor on the
// same name when it is still there. 0 or the message code of a folder that cannot be listed.
int RefreshFileList();
// The folder of the current drive (trailing '/'), and its root.
std::string CurrentFolder();
// The status line under the list.
std::string FileStatusLine();
// The line of the name being typed ("FILE NAME : ..."), or "" when no name entry is open.
std::string NameEntryLine();

// The read of a dropped file: as READ EXECUTE of the type's item into the active trace; on
// success the FILE menu takes the item.
int ReadDroppedFile(const std::string& path, int type);

void BindFileMenus();

}  // namespace vq

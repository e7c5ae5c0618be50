// EXECUTE of the FILE menu's WRITE and READ, by item, and the program files of the PROGRAM item.
#pragma once

#include <string>

namespace vq {

constexpr int kMsgNotProgramFile = 133;
constexpr int kMsgNotTemplateFile = 137;
constexpr const char kProgramIdentifier[] = "\"QXBPRG\"\r\n";

// Writes the item (index: the trace, memory slot or program number) to the file; 0 or a
// message code. A failed write leaves a file that was there as it was.
int ExecuteFileWrite(int item, int index, const std::string& path);
// Reads the file into the item; 0 or a message code, with nothing changed on failure.
int ExecuteFileRead(int item, int index, const std::string& path);
// Whether an item can be written or read: GRAPHICS is only written (and only with a screen).
bool ItemWritable(int item);
bool ItemReadable(int item);

// Program files: the 12,872-byte program record with the identifier in its first ten bytes.
int WriteProgramFile(int program, const std::string& path);
int ReadProgramFile(int program, const std::string& path);
// The program name kept in a record (the LABEL/PROGRAM NAME column).
std::string ProgramName(int program);

}  // namespace vq

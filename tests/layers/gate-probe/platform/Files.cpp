// The platform makes Windows' own calls.
bool DeleteFileAt(std::string_view path) { return DeleteFileW(WidePath(path).c_str()) != FALSE; }

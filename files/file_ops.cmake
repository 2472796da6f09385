# Copying, moving, creating and deleting files and folder trees.
set(korvane_file_ops_portable
    file_ops_path.cpp
)
set(korvane_file_ops_win32
    file_ops.cpp
    file_ops_tree.cpp
)

# Copying, moving, creating and deleting files and folder trees.
target_sources(korvane_portable PRIVATE
    file_ops_path.cpp
)
if(WIN32)
    target_sources(korvane_win32 PRIVATE
        file_ops.cpp
        file_ops_tree.cpp
    )
endif()

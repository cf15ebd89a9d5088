// Measuring the free space of the volume that holds the target folder. Windows only.
#pragma once

// Free space available to the user on the volume that holds `folder` itself (a network folder
// and a folder that is a mount point of another volume included), in whole MiB clamped to the
// largest int. Only when the folder cannot be measured (it does not exist, or the system
// cannot tell), the root of its drive is measured instead, or the root of the current drive
// for a path without a drive letter. -1 when that fails too.
int free_space_mib(const wchar_t* folder);

// Whole MiB in `bytes`, clamped to the largest int.
int whole_mib(unsigned long long bytes);

// Test seam: free_space_mib asks `query` instead of GetDiskFreeSpaceExW when one is set (null:
// the system). It returns 1 with the bytes available to the user, or 0 when `path` cannot be
// measured. The program never sets one.
typedef int (*DiskFreeQuery)(const wchar_t* path, unsigned long long* available);
void set_disk_free_query(DiskFreeQuery query);

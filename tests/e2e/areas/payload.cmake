# The copy page from outside: a default install, Cancel at once, faulty
# payloads (made by zv-payload-variant from the built setup.exe), a
# read-only destination file, a full temporary disk and a full destination,
# links planted at the old temporary names, a disk that fills up over an
# earlier installation, a part file that would pass the path limit, a file of
# an earlier installation in use, and setup killed in the middle of an entry.
zv_e2e_area(payload SOURCES ${CMAKE_CURRENT_LIST_DIR}/payload.cpp
  SCENARIOS default_install cancel_at_once corrupt_stream crc_mismatch truncated_archive
            truncated_large_entry traversal_name size_zero_entry readonly_destination
            full_temp_disk full_destination_disk planted_temp_links full_disk_over_earlier
            long_name file_in_use killed_while_writing sweep_earlier_parts
            link_in_destination long_destination)

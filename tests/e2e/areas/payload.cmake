# The copy page from outside: a default install, Cancel at once, faulty
# payloads (made by zv-payload-variant from the built setup.exe), a
# read-only destination file, a full temporary disk and a full destination,
# links planted at the old temporary names, a disk that fills up over an
# earlier installation, a part file that would pass the path limit, a file of
# an earlier installation in use, setup killed in the middle of an entry,
# and over an earlier installation: Cancel, a kill, and a kept file that
# cannot go back.
zv_e2e_area(payload)

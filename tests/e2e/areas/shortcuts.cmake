zv_e2e_area(shortcuts)

readme.txt
README.TXT
same_first_twenty_five_b_1.txt
same_first_twenty_five_b_2.txt
>after_ctrl_z

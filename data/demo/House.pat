House
Length:
16
Time:
4



Channel:1
Channel:2
Channel:3
Channel:4
Channel:5
Channel:6
1:0*
Kick      [ ]



Shaker    [5]

2:1



ClsHiat   [6]
Shaker    [7]

3:2


OpHiat    [3]

Shaker    [6]

4:3



ClsHiat   [6]
Shaker    [7]

5:0*
Kick      [ ]
Crack     [2]


Shaker    [5]
Tamb      [4]
6:1



ClsHiat   [6]
Shaker    [7]

7:2


OpHiat    [3]

Shaker    [6]

8:3



ClsHiat   [6]
Shaker    [7]

9:0*
Kick      [ ]



Shaker    [5]

10:1



ClsHiat   [6]
Shaker    [7]

11:2


OpHiat    [3]

Shaker    [6]

12:3



ClsHiat   [6]
Shaker    [7]

13:0*
Kick      [ ]
Crack     [2]


Shaker    [5]
Tamb      [4]
14:1



ClsHiat   [6]
Shaker    [7]

15:2


OpHiat    [3]

Shaker    [6]

16:3



ClsHiat   [6]
Shaker    [7]

17:0*






58
4
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100
Blank.wav
44100

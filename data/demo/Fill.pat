Fill
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
Snare     [2]




2:1

Snare     [5]




3:2

Snare     [2]




4:3

Snare     [5]




5:0*
Kick      [ ]

Tom1      [2]



6:1


Tom1      [5]



7:2


Tom1      [2]



8:3


Tom1      [5]



9:0*
Kick      [ ]


Tom2      [2]


10:1



Tom2      [5]


11:2



Tom2      [2]


12:3



Tom2      [5]


13:0*
Kick      [ ]
Snare     [2]




14:1

Snare     [3]




15:2

Snare     [2]




16:3

Snare     [3]


Cymbol1   [3]

17:0*






60
1
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

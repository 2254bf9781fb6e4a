//
//  ZZShop.swift
//
//
//  Created by 张三 on 2026/12/05.
//  Copyright © 2026年 Acme Labs. All rights reserved.
//

import Foundation

struct ZZShop: Codable {

    var name: String
    var age: Int
    var score: Float
    var vip: Bool
    var address: ZZAddress
    var tags: [String]
    var orders: [ZZOrders]
}
